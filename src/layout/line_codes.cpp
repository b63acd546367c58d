// Interim: pass-through.
#include "layout/line_codes.h"

namespace pomvex {

void CheckCommands(Reporter&, const LineGroup&) {}
LineControls StripLineControls(LineGroup&) { return {}; }
void AddJoiningSpace(LineGroup&, const LineControls&) {}

}  // namespace pomvex
