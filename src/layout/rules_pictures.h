// Hyphenation marks at the end of a main line, picture references and rule lines.
#pragma once

#include <string>

#include "base/document_state.h"
#include "base/line_group.h"

namespace pomvex {

void RemoveHyphenA(Reporter& report, LineGroup& group);
void RemoveHyphenB(Reporter& report, LineGroup& group);
// Pipeline step 5.
void ConvertPictures(Reporter& report, std::string& line);
// Pipeline step 13.
void ConvertRules(std::string& line);

}  // namespace pomvex
