// A formula in the RTF: a math zone as Word writes one (RTF 1.9.1: "\mmath" holding "\moMath"
// and the math control words of Office Math), which Word and LibreOffice show and edit as a
// formula, followed by an unstarred "\mmathPict" group that holds the same formula as linear
// text with raised and lowered scripts ("(a + b)/(2c)", "∑(k=1..N) a" and a lowered "k"). A reader
// that knows math zones skips that group; one that does not (AbiWord) shows it alone.
#pragma once

#include <string>

#include "formulas/formula.h"

namespace pomvex::formulas {

std::string FormulaRtf(const MathNode& root);
// The Office Math control words of the formula (the inside of "\moMath").
std::string OfficeMath(const MathNode& node);
// The linear form as RTF text.
std::string LinearRtf(const MathNode& node);
// The linear form as plain text (UTF-8), scripts written "^" and "_" with their text in braces
// when it is longer than one character: for the problem report and the tests.
std::string LinearText(const MathNode& node);

}  // namespace pomvex::formulas
