// Formulas: the grid of a line group, what the recognizer reads from it, and the RTF it becomes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formulas/math_rtf.h"
#include "formulas/recognizer.h"
#include "layout/group_grid.h"
#include "test_support.h"

namespace pomvex {
namespace {

using testing::GroupOf;
using testing::TestDocument;

// Slots: 1 STANDARD, 2 MATHI, 3 GREEK, 4 LINEDRAW.
TestDocument MathDocument() {
  return TestDocument{STANDARD, MATHI, GREEK, LINEDRAW};
}

TEST(GroupGrid, CellsStandInTheMergesColumns) {
  TestDocument t = MathDocument();
  const GroupGrid grid = GridOf(t.doc.FontSlots, GroupOf({"  x", "\\1a\\ \\2S\\\\"}, 1));
  ASSERT_EQ(grid.lines.size(), 2u);
  EXPECT_EQ(grid.lines[0].level, -1);
  const GridLine& main = grid.lines[1];
  EXPECT_EQ(main.level, 0);
  EXPECT_EQ(main.columns, 4) << "a, the hard space, S and the escaped backslash";
  ASSERT_NE(main.At(2), nullptr);
  EXPECT_TRUE(main.At(2)->hardSpace);
  EXPECT_EQ(main.At(3)->font, MATHI);
  EXPECT_TRUE(main.cells[0].fontSwitch) << "a switch stands in the column of what follows it";
  EXPECT_EQ(main.cells[0].column, 1);
  EXPECT_EQ(grid.lines[0].At(3)->ch, 'x');
}

struct Case {
  const char* label;
  std::vector<std::string> lines;
  int mainIndex;
  // Each formula as "first-last: tree"; none when the group is to stay as the merge leaves it.
  std::vector<std::string> formulas;
};

std::vector<std::string> Read(const Case& c) {
  TestDocument t = MathDocument();
  LineGroup group;
  for (std::size_t i = 0; i < c.lines.size(); ++i) group.Lines[i] = c.lines[i];
  group.lastIndex = static_cast<int>(c.lines.size()) - 1;
  group.mainIndex = c.mainIndex;
  const formulas::GroupFormulas found =
      formulas::RecognizeFormulas(t.doc.FontSlots, group, STANDARD);
  std::vector<std::string> out;
  for (const formulas::Formula& f : found.formulas) {
    out.push_back(std::to_string(f.firstColumn) + "-" + std::to_string(f.lastColumn) + ": " +
                  formulas::Describe(f.root));
  }
  return out;
}

TEST(RecognizeFormulas, LayoutsBecomeTrees) {
  const std::vector<Case> cases = {
      {"a stacked fraction",
       {"    a + b", "x = -------", "     2c"},
       1,
       {"1-11: row(run(x = ), frac(row(run(a + b)), row(run(2c))))"}},
      {"a small fraction in a sentence: only the formula is the zone",
       {"               1  2", "the energy E = -mv\\  grows", "               2"},
       1,
       {"12-19: row(run(E = ), frac(row(run(1)), row(run(2))), run(m), sup(run(v), row(run(2))))"}},
      {"a sum with its limits over and under it, and a subscript in its body",
       {"    N", "S = \\2S\\1 a\\ ", "   k=1 k"},
       1,
       {"1-8: row(run(S = ), nary(∑, row(run(k=1)), row(run(N)), row(sub(run(a), row(run(k))))))"}},
      {"scripts stacked in one column",
       {"  2-", "SO\\ \\ ", "  4"},
       1,
       {"1-4: row(run(S), subsup(run(O), row(run(4)), row(run(2-))))"}},
      {"a script of a script",
       {"      2", "     x\\ ", "y = e\\ \\ "},
       2,
       {"1-7: row(run(y = ), sup(run(e), row(sup(run(x), row(run(2))))))"}},
      {"a limit under lim, and its argument with a subscript",
       {"lim  a\\  = L", "n\\2L\\1\\28\\1   n"},
       0,
       {"1-11: row(func(limlow(normal(lim), row(run(n→∞))), row(sub(run(a), row(run(n))))), "
        "run( = L))"}},
      {"a numerator with subscripts of its own is raised a line",
       {"    x", "     1", "y = --", "    2"},
       2,
       {"1-6: row(run(y = ), frac(row(sub(run(x), row(run(1)))), row(run(2))))"}},
      {"scripts that start in different columns stay as the merge places them",
       {"  2", "x\\ \\ ", "   3"},
       1,
       {}},
      {"a rule and a date are no fractions: nothing over and under",
       {"1990-1991 ------------"},
       0,
       {}},
      {"ordinary scripts in prose stay as they are", {"   2", "mc\\  and cm"}, 1, {}},
      {"a script over text is no formula of ours", {"  ab", "x = 1"}, 1, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c), c.formulas) << c.label;
}

TEST(FormulaRtf, MathZoneThenItsLinearForm) {
  using formulas::MathNode;
  using K = MathNode::Kind;
  const MathNode fraction = MathNode::Of(
      K::Fraction, std::vector<MathNode>{
                       MathNode::Of(K::Row, std::vector<MathNode>{MathNode::Of(K::Run, U"a + b")}),
                       MathNode::Of(K::Row, std::vector<MathNode>{MathNode::Of(K::Run, U"2c")})});
  MathNode root =
      MathNode::Of(K::Row, std::vector<MathNode>{MathNode::Of(K::Run, U"x = "), fraction});
  EXPECT_EQ(formulas::FormulaRtf(root),
            "{\\mmath{\\*\\moMath{\\mr x=}{\\mf{\\mnum{\\mr a+b}}{\\mden{\\mr 2c}}}}}"
            "{\\mmathPict x = (a + b)/(2c)}");
  MathNode nary = MathNode::Of(K::Nary, U"\u2211");
  nary.parts = {
      MathNode::Of(K::Row, std::vector<MathNode>{MathNode::Of(K::Run, U"k=1")}), MathNode::Row(),
      MathNode::Of(K::Sub,
                   std::vector<MathNode>{MathNode::Of(K::Run, U"a"), MathNode::Of(K::Run, U"k")})};
  EXPECT_EQ(formulas::FormulaRtf(nary),
            "{\\mmath{\\*\\moMath{\\mnary{\\mnaryPr{\\mchr \\u8721?}{\\msupHide 1}}{\\msub{\\mr "
            "k=1}}{\\msup}{\\me{\\msSub{\\me{\\mr a}}{\\msub{\\mr k}}}}}}}"
            "{\\mmathPict \\u8721?(k=1) a{\\sub k}}");
  // A superscript ending in a sign keeps it upright, and "|" is text.
  const MathNode charge = MathNode::Of(
      K::Sup, std::vector<MathNode>{
                  MathNode::Of(K::Run, U"O"),
                  MathNode::Of(K::Row, std::vector<MathNode>{MathNode::Of(K::Run, U"2-")})});
  EXPECT_EQ(formulas::OfficeMath(charge),
            "{\\msSup{\\me{\\mr O}}{\\msup{\\mr 2}{\\mr{\\mrPr{\\mnor}}-}}}");
  EXPECT_EQ(formulas::LinearText(charge), "O^{2-}");
}

}  // namespace
}  // namespace pomvex
