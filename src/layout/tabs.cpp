// Interim: pass-through.
#include "layout/tabs.h"

namespace pomvex {

void FindTabStops(DocumentState&, std::string&) {}
void WriteTabStops(DocumentState&, std::string&, std::string&) {}

}  // namespace pomvex
