// Merges superscript and subscript lines into the main line by column: each run of script
// characters replaces the hard spaces under (or over) it, wrapped in "\>" or "\<" and "\:".
#pragma once

#include <string>
#include <string_view>

#include "base/document_state.h"
#include "base/font_kind.h"
#include "base/line_group.h"

namespace pomvex {

void CheckExtraScriptLines(Reporter& report, const LineGroup& group);
void CarryFontAcrossLines(const FontSlotTable& slots, LineGroup& group, FontKind& fontCarry);
void NormaliseScriptFonts(const FontSlotTable& slots, LineGroup& group);
std::string MergeScriptLines(DocumentState& doc, const LineGroup& group);
std::string MergeScriptLine(DocumentState& doc, std::string_view marker, std::string_view script,
                            std::string_view work);
// On entry start is the position before which the search begins (the search starts at
// start + 1); on return start is the segment's first position and end the position after it
// (end 0 when no segment was found).
void FindScriptSegment(std::string_view line, int& start, int& end);
int SegmentWidth(std::string_view segment);
int ColumnOfPosition(int pos, std::string_view line);
int PositionOfColumn(int col, std::string_view line);
bool HasHardSpaceRoom(std::string_view line, int pos, int width);

}  // namespace pomvex
