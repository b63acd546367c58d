// Interim: pass-through.
#include "fonts/anchoring.h"

namespace pomvex {

void AnchorInheritingFonts(const FontSlotTable&, std::string&) {}

}  // namespace pomvex
