// Hyphenation marks at the end of a main line, picture references and rule lines.
#pragma once

#include <string>
#include <string_view>

#include "base/document_state.h"
#include "base/line_group.h"

namespace pomvex {

// A word divided at the end of the main line loses its hyphenation mark ("\A": with the hyphen,
// "\B": after it) and the joining space, so that it runs on into the next line; a mark
// elsewhere is reported and stays.
void RemoveHyphenA(Reporter& report, LineGroup& group);
void RemoveHyphenB(Reporter& report, LineGroup& group);
// The first picture reference ("\G" name "\G") becomes a visible placeholder, and the user is
// warned (pipeline step 5).
void ConvertPictures(Reporter& report, std::string& line);
// A line of one repeated rule character becomes a tab to a right stop at the margin whose
// leader draws the line (the stop goes with the paragraph's tab stops, AppendMarginStop), and the
// placeholders of the line-drawing characters go (pipeline step 13). placeholders: the line may
// hold them.
void ConvertRules(std::string& line, bool placeholders = true);
// What a rule line becomes, and whether a line is one: ten or more of one rule character ("-",
// "=" or "_") and nothing else.
inline constexpr std::string_view kRuleTab = "\\tab";
bool IsRuleLine(std::string_view line);

}  // namespace pomvex
