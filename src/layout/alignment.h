// Centred and right-aligned lines, and hard spaces that follow an ordinary space.
#pragma once

#include <string>

namespace pomvex {

// Pipeline step 6.
void ConvertCentring(std::string& line);
// Pipeline step 7.
void ConvertRightAlignment(std::string& line);
// Pipeline step 8.
void CollapseHardSpaces(std::string& line, bool startsParagraph);
void CollapseHardSpacesAfterIndent(std::string& line);

}  // namespace pomvex
