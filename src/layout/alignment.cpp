// Interim: pass-through.
#include "layout/alignment.h"

namespace pomvex {

void ConvertCentring(std::string&) {}
void ConvertRightAlignment(std::string&) {}
void CollapseHardSpaces(std::string&, bool) {}

}  // namespace pomvex
