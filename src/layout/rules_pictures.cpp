// Interim: pass-through.
#include "layout/rules_pictures.h"

namespace pomvex {

void RemoveHyphenA(Reporter&, LineGroup&) {}
void RemoveHyphenB(Reporter&, LineGroup&) {}
void ConvertPictures(Reporter&, std::string&) {}
void ConvertRules(std::string&) {}

}  // namespace pomvex
