// Interim: font switches pass through unchanged.
#include "fonts/character_format.h"

namespace pomvex {

void ConvertFontSwitches(DocumentState&, std::string&, bool) {}

}  // namespace pomvex
