// Centred and right-aligned lines, and hard spaces that follow an ordinary space.
#pragma once

#include <string>
#include <string_view>

namespace pomvex {

// A text between two "\^" marks, with the hard spaces that belong to them, becomes a line that
// starts with "\qc " (pipeline step 6).
void ConvertCentring(std::string& line);
// A single "\^" left makes the line start with "\qr " (pipeline step 7); after text of its own
// in a line that is not centred, it becomes "\tab " instead, the tab to a right stop at the
// margin (AppendMarginStop), and true is given.
bool ConvertRightAlignment(std::string& line);
// Outside centred and right-aligned lines, a hard space after a space is dropped; a line that
// starts a paragraph keeps those of its indentation (pipeline step 8).
void CollapseHardSpaces(std::string& line, bool startsParagraph);
void CollapseHardSpacesAfterIndent(std::string& line);
// What step 8 asks of a line: whether it holds "\qc" or "\qr" (centred or right-aligned), and
// where the indentation of a line that starts a paragraph ends (a boundary).
bool HasAlignmentWord(std::string_view line);
std::size_t IndentEnd(std::string_view line);

}  // namespace pomvex
