// A formula as a tree, as the recognizer reads it from the grid of a line group and the writers
// put it into the RTF: a math zone that Word and LibreOffice show and edit, and a linear form for
// readers that know no math zones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pomvex::formulas {

struct MathNode {
  enum class Kind {
    Row,       // parts, one after the other
    Run,       // text: letters (italic), digits, operators
    Normal,    // text set upright as it is: words, function names, "|"
    Fraction,  // parts: numerator, denominator
    Sup,       // parts: base, superscript
    Sub,       // parts: base, subscript
    SubSup,    // parts: base, subscript, superscript
    Nary,      // text: the operator; parts: lower limit, upper limit, body (each a Row)
    LimLow,    // parts: base, what stands under it
    LimUpp,    // parts: base, what stands over it
    Func,      // parts: name, argument
    Rad,       // parts: radicand
    Stack,     // parts: the upper line, the lower: one over the other, without a bar
  };
  Kind kind = Kind::Row;
  std::u32string text;
  std::vector<MathNode> parts;

  static MathNode Row() { return {}; }
  static MathNode Of(Kind kind, std::u32string text = {}) {
    MathNode node;
    node.kind = kind;
    node.text = std::move(text);
    return node;
  }
  static MathNode Of(Kind kind, std::vector<MathNode> parts) {
    MathNode node;
    node.kind = kind;
    node.parts = std::move(parts);
    return node;
  }
  bool Empty() const { return text.empty() && parts.empty(); }
};

// A formula of a group: the columns of the main line it takes (from 1, inclusive) and its tree.
struct Formula {
  std::int32_t firstColumn = 0;
  std::int32_t lastColumn = 0;
  MathNode root;
};

// The tree as a test or the problem report shows it: "frac(row(a + b), row(2c))".
std::string Describe(const MathNode& node);

}  // namespace pomvex::formulas
