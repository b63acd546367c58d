#include "formulas/recognizer.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

#include "base/char_sets.h"
#include "base/columns.h"
#include "base/commands.h"
#include "base/text_util.h"
#include "charmaps/special_chars.h"

namespace pomvex::formulas {

namespace {

using Kind = MathNode::Kind;

// Operators whose limits stand under and over them (or as scripts to their right), and those of
// them that LibreOffice reads only as a character with limits under and over it.
constexpr std::array<char32_t, 13> kNaryOperators = {0x2211, 0x220F, 0x2210, 0x222B, 0x222C,
                                                     0x222D, 0x222E, 0x222F, 0x2230, 0x22C0,
                                                     0x22C1, 0x2A01, 0x2A02};
constexpr std::array<char32_t, 4> kSetOperators = {0x222A, 0x2229, 0x22C3, 0x22C2};
// Relations: the body of a big operator ends before one.
constexpr std::array<char32_t, 22> kRelations = {
    '=',    '<',    '>',    0x2264, 0x2265, 0x2260, 0x2248, 0x2261, 0x223C, 0x2243, 0x2245,
    0x2192, 0x21D2, 0x21D4, 0x2208, 0x2209, 0x2282, 0x2283, 0x2286, 0x2287, 0x221D, 0x2190};
constexpr std::array<std::u32string_view, 33> kFunctionNames = {
    U"sin",  U"cos",    U"tan",    U"cot",    U"sec",    U"csc",   U"sinh", U"cosh", U"tanh",
    U"coth", U"log",    U"ln",     U"lg",     U"exp",    U"lim",   U"max",  U"min",  U"sup",
    U"inf",  U"det",    U"dim",    U"ker",    U"arg",    U"deg",   U"gcd",  U"lcm",  U"mod",
    U"Pr",   U"limsup", U"liminf", U"arcsin", U"arccos", U"arctan"};
constexpr std::array<std::u32string_view, 7> kLimitWords = {U"lim", U"max",    U"min",   U"sup",
                                                            U"inf", U"limsup", U"liminf"};
constexpr char32_t kSquareRoot = 0x221A;
// Words of two letters, which a formula reader would take for its own keywords.
constexpr std::array<std::u32string_view, 9> kShortWords = {U"in", U"or", U"to", U"at", U"as",
                                                            U"is", U"of", U"on", U"if"};

template <typename Set, typename T>
bool In(const Set& set, const T& value) {
  return std::find(set.begin(), set.end(), value) != set.end();
}

// A run of printing columns of one line, inclusive.
struct Span {
  std::int32_t first = 0;
  std::int32_t last = -1;
  explicit operator bool() const { return first <= last; }
};

bool TextFont(FontKind font) {
  return font == NONE || (TextFonts.Contains(font) && !SpecialFonts.Contains(font));
}

// What a printing character may be in a formula, by its font: looked up for every column of
// every group, so it is worked out once for all fonts and characters.
enum Role : std::uint8_t {
  kBarRole = 1,       // a fraction's bar
  kOverlineRole = 2,  // a root's overline
  kOperatorRole = 4,  // a big operator, or a set operator
  kRootRole = 8,      // a root sign
  kLetterRole = 16,   // a letter of the text
};
using RoleTable = std::array<std::array<std::uint8_t, 256>, NONE + 1>;

const RoleTable& Roles() {
  static const RoleTable table = [] {
    RoleTable roles{};
    for (int font = 0; font <= NONE; ++font) {
      const auto kind = static_cast<FontKind>(font);
      for (int ch = 0; ch < 256; ++ch) {
        const FormulaChars chars = FormulaCharsOf(static_cast<unsigned char>(ch), kind);
        const char32_t code = chars.count > 0 ? chars.code[0] : 0;
        std::uint8_t role = 0;
        if ((ch == '-' && TextFont(kind)) || code == 0x2500) role |= kBarRole | kOverlineRole;
        if (ch == '_' && TextFont(kind)) role |= kOverlineRole;
        if (In(kNaryOperators, code) || In(kSetOperators, code)) role |= kOperatorRole;
        if (code == kSquareRoot) role |= kRootRole;
        if (TextFont(kind) && IsLetter(static_cast<char>(ch)) && !(role & kBarRole)) {
          role |= kLetterRole;
        }
        roles[font][ch] = role;
      }
    }
    return roles;
  }();
  return table;
}

// The roles of the cell's character; none for a cell that does not print.
std::uint8_t RoleOf(const GridCell* cell) {
  if (!cell || !cell->Printing()) return 0;
  return Roles()[cell->font][static_cast<unsigned char>(cell->ch)];
}

// Where a formula could stand, from a first look at the group's lines alone: the main line's
// bars, big operators, roots and limit words (over a line below), the blank columns of it with
// scripts stacked over and under them, and lines further out than the first above and below that
// print. The reader then confirms each on the grid; a group without any is left as it is without
// a grid drawn, which keeps the search cheap where there is no mathematics.
struct Candidate {
  enum class What : std::uint8_t { kBar, kOperator, kRoot, kLimitWord, kStacked } what;
  std::int32_t first;
  std::int32_t last;
};

struct FirstLook {
  std::vector<Candidate> candidates;  // in the order of their columns
  bool outerLines = false;
  bool Empty() const { return candidates.empty() && !outerLines; }
};

// The columns where the segments (runs of printing columns) of a script line begin, in order.
// A script line is mostly spaces between a few commands: its text is read a character at a
// time up to the next command.
class SegmentStarts {
 public:
  explicit SegmentStarts(std::string_view line) : line_(line), command_(NextBackslash(line, 0)) {}
  // The next one; 0 when there is none.
  std::int32_t Next() {
    const std::size_t n = line_.size();
    while (i_ < n) {
      if (i_ < command_) {
        const bool prints = line_[i_++] != ' ';
        const bool starts = prints && !printed_;
        printed_ = prints;
        const std::int32_t column = column_++;
        if (starts) return column;
        continue;
      }
      if (i_ + 1 == n) break;  // a lone backslash at the end takes no column
      if (PositionColumnCommands.Contains(line_[i_ + 1])) {
        printed_ = false;  // a command that takes a column prints nothing
        ++column_;
      }
      i_ += 2;
      command_ = NextBackslash(line_, i_);
    }
    return 0;
  }

 private:
  std::string_view line_;
  std::size_t i_ = 0;
  std::size_t command_;  // the next backslash at or after i_
  std::int32_t column_ = 1;
  bool printed_ = false;
};

// Whether the main line may hold a structure's character: one whose role is more than a
// letter's, or (over a line below) the first three letters of a limit word. A look at its text
// between commands, whatever columns they stand in; where it finds one, the line is walked
// column by column.
bool MayHoldStructure(const FontSlotTable& slots, std::string_view line, FontKind carry,
                      bool below) {
  const RoleTable& roles = Roles();
  // Letters in column order, three at most, packed; the limit words' first three.
  constexpr auto kPack = [](std::u32string_view word) {
    return word[0] << 16 | word[1] << 8 | word[2];
  };
  constexpr std::array<char32_t, 5> kLimitStarts = {kPack(U"lim"), kPack(U"max"), kPack(U"min"),
                                                    kPack(U"sup"), kPack(U"inf")};
  std::uint32_t letters = 0;
  FontKind font = carry;
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t command = NextBackslash(line, i);
    const std::array<std::uint8_t, 256>& table = roles[font];
    for (; i < command; ++i) {
      const auto ch = static_cast<unsigned char>(line[i]);
      const std::uint8_t role = table[ch];
      if (role & ~kLetterRole) return true;
      letters = role & kLetterRole ? (letters << 8 | ch) & 0xFFFFFF : 0;
      if (below && letters > 0xFFFF && In(kLimitStarts, static_cast<char32_t>(letters))) {
        return true;
      }
    }
    if (command + 1 >= line.size()) break;
    const char ch = line[command + 1];
    const FontKind kind = slots.SwitchKindOf(ch);
    if (kind != NONE) font = kind;
    if (PositionColumnCommands.Contains(ch)) letters = 0;
    i = command + 2;
  }
  return false;
}

FirstLook LookAt(const FontSlotTable& slots, const LineGroup& group, FontKind carry) {
  FirstLook look;
  const int main = group.mainIndex;
  if (main < 0 || group.lastIndex < 1) return look;
  for (int slot = 0; slot <= group.lastIndex && !look.outerLines; ++slot) {
    if (std::abs(slot - main) < 2) continue;
    PieceWalker walker(group.Lines[slot]);
    for (LinePiece piece; walker.Next(piece) && !look.outerLines;) {
      look.outerLines = !piece.command && piece.ch != ' ';
    }
  }
  const bool above = main > 0;
  const bool below = main < group.lastIndex;
  // Columns where segments of the lines above and below begin together.
  std::vector<std::int32_t> stacked;
  if (above && below) {
    SegmentStarts over(group.Lines[main - 1]), under(group.Lines[main + 1]);
    for (std::int32_t a = over.Next(), b = under.Next(); a != 0 && b != 0;) {
      if (a < b) {
        a = over.Next();
      } else if (b < a) {
        b = under.Next();
      } else {
        stacked.push_back(a);
        a = over.Next();
        b = under.Next();
      }
    }
  }
  if (stacked.empty() && !look.outerLines &&
      !MayHoldStructure(slots, group.Lines[main], carry, below)) {
    return look;
  }
  std::size_t nextStacked = 0;
  std::int32_t nextStackedColumn = stacked.empty() ? 0 : stacked[0];
  std::int32_t column = 1;
  FontKind font = carry;
  std::uint8_t before = 0;  // the roles of the column before
  std::int32_t runStart = 0;
  std::array<char32_t, 8> word{};
  std::size_t length = 0;
  auto endRuns = [&](std::uint8_t role) {
    if ((before & kBarRole) && !(role & kBarRole)) {
      look.candidates.push_back({Candidate::What::kBar, runStart, column - 1});
    }
    if ((before & kLetterRole) && !(role & kLetterRole) && length <= word.size() &&
        In(kLimitWords, std::u32string_view(word.data(), length))) {
      look.candidates.push_back({Candidate::What::kLimitWord, runStart, column - 1});
    }
  };
  const RoleTable& roles = Roles();
  PieceWalker walker(group.Lines[main]);
  for (LinePiece piece; walker.Next(piece);) {
    if (piece.command) {
      const FontKind kind = slots.SwitchKindOf(piece.ch);
      if (kind != NONE) font = kind;
    }
    if (!piece.takesColumn) continue;
    const bool prints = !piece.command && piece.ch != ' ';
    std::uint8_t role = prints ? roles[font][static_cast<unsigned char>(piece.ch)] : 0;
    if (!below) role &= static_cast<std::uint8_t>(~kLetterRole);
    // Most columns hold nothing of the kind, after a column that held nothing either.
    if ((role | before) == 0 && column != nextStackedColumn) {
      ++column;
      continue;
    }
    endRuns(role);
    if ((role & kBarRole) && !(before & kBarRole)) runStart = column;
    if ((role & kLetterRole) && !(before & kLetterRole)) {
      runStart = column;
      length = 0;
    }
    if (role & kLetterRole) {
      if (length < word.size()) word[length] = static_cast<unsigned char>(piece.ch);
      ++length;
    }
    if (role & kOperatorRole)
      look.candidates.push_back({Candidate::What::kOperator, column, column});
    if (role & kRootRole) look.candidates.push_back({Candidate::What::kRoot, column, column});
    if (column == nextStackedColumn) {
      if (!prints) look.candidates.push_back({Candidate::What::kStacked, column, column});
      nextStackedColumn = ++nextStacked < stacked.size() ? stacked[nextStacked] : 0;
    }
    before = role;
    ++column;
  }
  endRuns(0);
  // Stacked scripts beyond the end of the main line.
  for (; nextStacked < stacked.size(); ++nextStacked) {
    look.candidates.push_back(
        {Candidate::What::kStacked, stacked[nextStacked], stacked[nextStacked]});
  }
  return look;
}

class Reader {
 public:
  Reader(const GroupGrid& grid, const FirstLook& look) : grid_(grid), look_(look) {
    top_ = -grid.mainLine;
    bottom_ = static_cast<int>(grid.lines.size()) - 1 - grid.mainLine;
  }

  GroupFormulas Read();

 private:
  const GridLine* Line(int level) const {
    return level >= top_ && level <= bottom_ ? &grid_.lines[grid_.mainLine + level] : nullptr;
  }
  std::vector<bool>& TakenOf(int level) { return taken_[grid_.mainLine + level]; }
  std::size_t IndexOf(const GridLine& line, const GridCell& cell) const {
    return static_cast<std::size_t>(&cell - line.cells.data());
  }
  // The untaken printing cell of the line at level in column, or nullptr.
  const GridCell* Free(int level, std::int32_t column) {
    const GridLine* line = Line(level);
    const GridCell* cell = line ? line->At(column) : nullptr;
    if (!cell || !cell->Printing()) return nullptr;
    // Nothing is taken while the structures are looked for: the marks are made after.
    if (!taken_.empty() && TakenOf(level)[IndexOf(*line, *cell)]) return nullptr;
    return cell;
  }
  void Take(int level, const GridCell& cell) {
    const std::size_t index = IndexOf(*Line(level), cell);
    TakenOf(level)[index] = true;
    journal_.push_back({grid_.mainLine + level, index});
  }
  // Gives back the cells taken since the journal had mark entries.
  void Untake(std::size_t mark) {
    for (std::size_t i = mark; i < journal_.size(); ++i) {
      taken_[journal_[i].first][journal_[i].second] = false;
    }
    journal_.resize(mark);
  }
  static char32_t Code(const GridCell& cell) {
    const FormulaChars chars = FormulaCharsOf(static_cast<unsigned char>(cell.ch), cell.font);
    return chars.count > 0 ? chars.code[0] : 0;
  }
  static bool IsBar(const GridCell* cell) { return RoleOf(cell) & kBarRole; }
  static bool IsOverline(const GridCell* cell) { return RoleOf(cell) & kOverlineRole; }
  static bool IsLetter(const GridCell* cell) { return RoleOf(cell) & kLetterRole; }

  // The free segment (a run of printing cells) of the line at level that holds column.
  Span SegmentAt(int level, std::int32_t column) {
    if (!Free(level, column)) return {};
    Span span{column, column};
    while (Free(level, span.first - 1)) --span.first;
    while (Free(level, span.last + 1)) ++span.last;
    return span;
  }
  Span SegmentStartingAt(int level, std::int32_t column) {
    return Free(level, column) && !Free(level, column - 1) ? SegmentAt(level, column) : Span{};
  }
  // The first free segment of the line at level that lies across the columns first..last.
  Span SegmentAcross(int level, std::int32_t first, std::int32_t last) {
    for (std::int32_t c = first; c <= last; ++c) {
      if (Free(level, c)) return SegmentAt(level, c);
    }
    return {};
  }
  bool HasPrinting(int fromLevel, int toLevel, std::int32_t first, std::int32_t last) {
    for (int level = fromLevel; level <= toLevel; ++level) {
      if (SegmentAcross(level, first, last)) return true;
    }
    return false;
  }
  // The script at level extends over the blank columns right after it that carry scripts of its
  // own further out (dir -1 above, +1 below), as far as limit.
  Span Extend(int level, Span span, int dir, int limit) {
    const int outer = level + dir;
    if ((dir < 0 && outer < limit) || (dir > 0 && outer > limit)) return span;
    for (;;) {
      const GridLine* line = Line(level);
      const GridCell* next = line ? line->At(span.last + 1) : nullptr;
      if (next && next->Printing()) return span;
      const Span further = SegmentStartingAt(outer, span.last + 1);
      if (!further) return span;
      span.last = Extend(outer, further, dir, limit).last;
    }
  }

  // Whether a script segment stands across a big operator or a bar of the line at level.
  bool StandsAcrossStructure(int level, const Span& span, std::int32_t last) {
    const GridLine* line = Line(level);
    for (std::int32_t k = span.first; line && k <= std::min(span.last, last); ++k) {
      const GridCell* cell = Free(level, k);
      if (!cell) continue;
      const char32_t code = Code(*cell);
      if (IsBar(cell) || In(kNaryOperators, code) || In(kSetOperators, code)) return true;
    }
    return false;
  }
  // The script at limitLevel that belongs to what stands in the columns first..last of the line at
  // level: one across those columns, or one that begins in the blank columns right after them.
  Span ScriptNear(int level, int limitLevel, std::int32_t first, std::int32_t last) {
    if (!Line(limitLevel)) return {};
    if (const Span across = SegmentAcross(limitLevel, first, last)) return across;
    const GridLine* line = Line(level);
    for (std::int32_t k = last + 1;; ++k) {
      const GridCell* cell = line ? line->At(k) : nullptr;
      if (cell && cell->Printing()) return {};
      if (const Span span = SegmentStartingAt(limitLevel, k)) return span;
      if (!cell && k > line->columns + 1) return {};
    }
  }
  MathNode ParseRow(int level, std::int32_t first, std::int32_t last, int top, int bottom);
  MathNode ParseBlock(int top, int bottom, std::int32_t first, std::int32_t last, int nearest);
  bool ParseNary(MathNode& row, int level, std::int32_t& c, std::int32_t last, int top, int bottom);
  bool ParseLimitWord(MathNode& row, int level, std::int32_t& c, std::int32_t last, int top,
                      int bottom);
  bool ParseRadical(MathNode& row, int level, std::int32_t& c, std::int32_t last, int top,
                    int bottom);
  void AppendChar(MathNode& row, const GridCell& cell);
  void Attach(MathNode& row, MathNode sup, MathNode sub);
  std::vector<Span> Structures();
  std::vector<Span> Zones(const std::vector<Span>& structures);

  const GroupGrid& grid_;
  const FirstLook& look_;
  std::vector<std::vector<bool>> taken_;
  std::vector<std::pair<int, std::size_t>> journal_;  // the cells taken, in order
  int top_ = 0, bottom_ = 0;
  bool failed_ = false;
};

// The row without the blanks at its ends.
MathNode Trimmed(MathNode row) {
  while (!row.parts.empty() && row.parts.front().kind == Kind::Run) {
    std::u32string& text = row.parts.front().text;
    text.erase(0, text.find_first_not_of(U' ') == std::u32string::npos
                      ? text.size()
                      : text.find_first_not_of(U' '));
    if (!text.empty()) break;
    row.parts.erase(row.parts.begin());
  }
  while (!row.parts.empty() && row.parts.back().kind == Kind::Run) {
    std::u32string& text = row.parts.back().text;
    while (!text.empty() && text.back() == U' ') text.pop_back();
    if (!text.empty()) break;
    row.parts.pop_back();
  }
  return row;
}

void AppendText(MathNode& row, Kind kind, std::u32string_view text) {
  if (row.parts.empty() || row.parts.back().kind != kind || kind != Kind::Run) {
    row.parts.push_back(MathNode::Of(kind));
  }
  row.parts.back().text += text;
}

void Reader::AppendChar(MathNode& row, const GridCell& cell) {
  const FormulaChars chars = FormulaCharsOf(static_cast<unsigned char>(cell.ch), cell.font);
  if (chars.count == 0) {
    failed_ = true;  // a character no formula can show
    return;
  }
  const char32_t code = chars.code[0];
  // "|" would be read as an operator by a formula reader: it stays text.
  if (code == '|') {
    row.parts.push_back(MathNode::Of(Kind::Normal, U"|"));
    return;
  }
  AppendText(row, Kind::Run,
             std::u32string_view(chars.code, static_cast<std::size_t>(chars.count)));
}

void Reader::Attach(MathNode& row, MathNode sup, MathNode sub) {
  // The base is what stands last: the last character of a run, or the last part.
  while (!row.parts.empty() && row.parts.back().kind == Kind::Run &&
         row.parts.back().text.empty()) {
    row.parts.pop_back();
  }
  if (row.parts.empty()) {
    failed_ = true;  // a script before anything
    return;
  }
  MathNode base;
  MathNode& last = row.parts.back();
  if (last.kind == Kind::Run) {
    if (last.text.back() == U' ') {
      failed_ = true;  // a script after a space has no base
      return;
    }
    base = MathNode::Of(Kind::Run, last.text.substr(last.text.size() - 1));
    last.text.pop_back();
    if (last.text.empty()) row.parts.pop_back();
  } else {
    base = std::move(last);
    row.parts.pop_back();
  }
  if (!sup.Empty() && !sub.Empty()) {
    row.parts.push_back(MathNode::Of(
        Kind::SubSup, std::vector<MathNode>{std::move(base), std::move(sub), std::move(sup)}));
  } else if (!sup.Empty()) {
    row.parts.push_back(
        MathNode::Of(Kind::Sup, std::vector<MathNode>{std::move(base), std::move(sup)}));
  } else {
    row.parts.push_back(
        MathNode::Of(Kind::Sub, std::vector<MathNode>{std::move(base), std::move(sub)}));
  }
}

MathNode Reader::ParseBlock(int top, int bottom, std::int32_t first, std::int32_t last,
                            int nearest) {
  // The block's own line is the one whose text begins furthest left; of two, the one nearer the
  // bar (its scripts stand beside it).
  int baseline = 0;
  std::int32_t leftmost = last + 1;
  for (int level = top; level <= bottom; ++level) {
    std::int32_t c = first;
    while (c <= last && !Free(level, c)) ++c;
    if (c > last) continue;
    if (c < leftmost ||
        (c == leftmost && std::abs(level - nearest) < std::abs(baseline - nearest))) {
      leftmost = c;
      baseline = level;
    }
  }
  if (leftmost > last) return MathNode::Row();
  // Read as a line with its scripts; where that leaves a character out (lines standing over and
  // under each other's text), as lines stacked without a bar.
  const std::size_t mark = journal_.size();
  MathNode block = ParseRow(baseline, first, last, top, bottom);
  bool whole = !failed_;
  for (int level = top; whole && level <= bottom; ++level) {
    for (std::int32_t c = first; whole && c <= last; ++c) whole = !Free(level, c);
  }
  if (whole) return block;
  Untake(mark);
  failed_ = false;
  std::vector<MathNode> rows;
  for (int level = top; level <= bottom; ++level) {
    if (!SegmentAcross(level, first, last)) continue;
    rows.push_back(ParseRow(level, first, last, level, level));
  }
  MathNode stack = std::move(rows.back());
  for (std::size_t i = rows.size() - 1; i-- > 0;) {
    stack = MathNode::Of(Kind::Stack, std::vector<MathNode>{std::move(rows[i]), std::move(stack)});
  }
  return stack;
}

bool Reader::ParseNary(MathNode& row, int level, std::int32_t& c, std::int32_t last, int top,
                       int bottom) {
  const GridCell* op = Free(level, c);
  const char32_t code = Code(*op);
  const bool set = In(kSetOperators, code);
  if (!set && !In(kNaryOperators, code)) return false;
  // Limits over and under the operator, or as scripts to its right.
  auto limit = [&](int at) {
    if (at < top || at > bottom) return Span{};
    return ScriptNear(level, at, c, c);
  };
  const Span upper = limit(level - 1), lower = limit(level + 1);
  if (!upper && !lower) return false;
  Take(level, *op);
  MathNode upperNode, lowerNode;
  if (upper)
    upperNode =
        ParseRow(level - 1, upper.first, Extend(level - 1, upper, -1, top).last, top, level - 1);
  if (lower)
    lowerNode = ParseRow(level + 1, lower.first, Extend(level + 1, lower, +1, bottom).last,
                         level + 1, bottom);
  // The line under limits to the right of the operator holds nothing.
  std::int32_t next = c + 1;
  const GridLine* line = Line(level);
  const std::int32_t limitsEnd = std::max(upper ? upper.last : c, lower ? lower.last : c);
  for (; next <= limitsEnd && next <= last; ++next) {
    const GridCell* cell = line->At(next);
    if (cell && cell->Printing()) break;
  }
  // The body: what follows, up to a relation or the end.
  std::int32_t end = next;
  for (; end <= last; ++end) {
    const GridCell* cell = line->At(end);
    if (cell && cell->Printing() && In(kRelations, Code(*cell))) break;
  }
  MathNode body = ParseRow(level, next, end - 1, top, bottom);
  if (set) {
    MathNode op_ = MathNode::Of(Kind::Run, std::u32string(1, code));
    if (upper)
      op_ = MathNode::Of(Kind::LimUpp, std::vector<MathNode>{std::move(op_), std::move(upperNode)});
    if (lower)
      op_ = MathNode::Of(Kind::LimLow, std::vector<MathNode>{std::move(op_), std::move(lowerNode)});
    row.parts.push_back(std::move(op_));
    for (MathNode& part : body.parts) row.parts.push_back(std::move(part));
  } else {
    MathNode nary = MathNode::Of(Kind::Nary, std::u32string(1, code));
    nary.parts = {std::move(lowerNode), std::move(upperNode), std::move(body)};
    row.parts.push_back(std::move(nary));
  }
  // The blank before the relation stays, for the linear form.
  const GridCell* before = line->At(end - 1);
  if (end <= last && before && before->Blank()) AppendText(row, Kind::Run, U" ");
  c = end;
  return true;
}

bool Reader::ParseLimitWord(MathNode& row, int level, std::int32_t& c, std::int32_t last, int top,
                            int bottom) {
  const GridLine* line = Line(level);
  std::u32string word;
  std::int32_t end = c;
  while (end <= last && IsLetter(Free(level, end)))
    word += static_cast<char32_t>(line->At(end++)->ch);
  if (!In(kLimitWords, std::u32string_view(word)) || IsLetter(Free(level, c - 1))) return false;
  if (level + 1 > bottom) return false;
  const Span under = ScriptNear(level, level + 1, c, end - 1);
  if (!under) return false;
  for (std::int32_t k = c; k < end; ++k) Take(level, *line->At(k));
  MathNode below = ParseRow(level + 1, under.first, Extend(level + 1, under, +1, bottom).last,
                            level + 1, bottom);
  MathNode name = MathNode::Of(
      Kind::LimLow, std::vector<MathNode>{MathNode::Of(Kind::Normal, word), std::move(below)});
  // The argument: the next word of the line, with its scripts.
  std::int32_t from = end;
  while (from <= last && !Free(level, from) && !(line->At(from) && line->At(from)->Printing())) {
    ++from;
  }
  // It ends at a plain space or a relation outside parentheses.
  std::int32_t to = from;
  int depth = 0;
  for (const GridCell* cell = line->At(from); cell; cell = line->At(to)) {
    if (cell->Printing() && (cell->ch == '(' || cell->ch == '[')) ++depth;
    if (cell->Printing() && (cell->ch == ')' || cell->ch == ']')) --depth;
    const GridCell* next = line->At(to + 1);
    if (to + 1 > last || !next) break;
    if (depth <= 0 && !next->command && next->ch == ' ') break;
    if (depth <= 0 && next->Printing() && In(kRelations, Code(*next))) break;
    ++to;
  }
  MathNode argument = from <= last ? ParseRow(level, from, to, top, bottom) : MathNode::Row();
  row.parts.push_back(
      MathNode::Of(Kind::Func, std::vector<MathNode>{std::move(name), std::move(argument)}));
  c = std::max(from <= last ? to + 1 : end, end);
  return true;
}

bool Reader::ParseRadical(MathNode& row, int level, std::int32_t& c, std::int32_t last, int top,
                          int bottom) {
  if (Code(*Free(level, c)) != kSquareRoot || level - 1 < top) return false;
  const GridLine* over = Line(level - 1);
  std::int32_t first = IsOverline(over->At(c + 1)) ? c + 1 : 0;
  if (first == 0) return false;
  std::int32_t end = first;
  while (IsOverline(over->At(end + 1))) ++end;
  end = std::min(end, last);
  Take(level, *Line(level)->At(c));
  for (std::int32_t k = first; k <= end; ++k) {
    if (const GridCell* cell = Free(level - 1, k)) Take(level - 1, *cell);
  }
  MathNode radicand = ParseRow(level, c + 1, end, top, bottom);
  row.parts.push_back(MathNode::Of(Kind::Rad, std::vector<MathNode>{std::move(radicand)}));
  c = end + 1;
  return true;
}

MathNode Reader::ParseRow(int level, std::int32_t first, std::int32_t last, int top, int bottom) {
  MathNode row;
  const GridLine* line = Line(level);
  for (std::int32_t c = first; c <= last && !failed_;) {
    const GridCell* cell = line ? line->At(c) : nullptr;
    const GridCell* free = Free(level, c);
    if (free && IsBar(free)) {
      std::int32_t end = c;
      while (end + 1 <= last && IsBar(Free(level, end + 1))) ++end;
      if (HasPrinting(top, level - 1, c, end) && HasPrinting(level + 1, bottom, c, end)) {
        for (std::int32_t k = c; k <= end; ++k) Take(level, *line->At(k));
        MathNode numerator = ParseBlock(top, level - 1, c, end, level - 1);
        MathNode denominator = ParseBlock(level + 1, bottom, c, end, level + 1);
        row.parts.push_back(MathNode::Of(
            Kind::Fraction, std::vector<MathNode>{std::move(numerator), std::move(denominator)}));
        c = end + 1;
        continue;
      }
    }
    if (free) {
      if (ParseNary(row, level, c, last, top, bottom)) continue;
      if (IsLetter(free) && ParseLimitWord(row, level, c, last, top, bottom)) continue;
      if (ParseRadical(row, level, c, last, top, bottom)) continue;
      if (IsLetter(free) && !IsLetter(Free(level, c - 1)) && IsLetter(Free(level, c + 1))) {
        // A word: a function's name, or a word of the text, set upright; two letters that are
        // no word are variables side by side ("mv").
        std::u32string word;
        std::int32_t end = c;
        while (end <= last && IsLetter(Free(level, end))) {
          word += static_cast<char32_t>(line->At(end)->ch);
          Take(level, *line->At(end++));
        }
        if (word.size() >= 3 || In(kFunctionNames, std::u32string_view(word)) ||
            In(kShortWords, std::u32string_view(word))) {
          row.parts.push_back(MathNode::Of(Kind::Normal, word));
        } else {
          AppendText(row, Kind::Run, word);
        }
        c = end;
        continue;
      }
      AppendChar(row, *free);
      Take(level, *free);
      ++c;
      continue;
    }
    if (cell && cell->Printing()) {
      failed_ = true;  // taken by something that stands across it
      break;
    }
    // A blank, or the space beyond the end: the scripts that begin here belong to what stands
    // before.
    Span sup = level - 1 >= top ? SegmentStartingAt(level - 1, c) : Span{};
    Span sub = level + 1 <= bottom ? SegmentStartingAt(level + 1, c) : Span{};
    // A segment that stands across an operator or a bar further on is its limit or its part.
    if (sup && StandsAcrossStructure(level, sup, last)) sup = {};
    if (sub && StandsAcrossStructure(level, sub, last)) sub = {};
    if (sup || sub) {
      MathNode supNode, subNode;
      std::int32_t end = c;
      if (sup) {
        const Span span = Extend(level - 1, sup, -1, top);
        supNode = ParseRow(level - 1, span.first, span.last, top, level - 1);
        end = std::max(end, span.last);
      }
      if (sub) {
        const Span span = Extend(level + 1, sub, +1, bottom);
        subNode = ParseRow(level + 1, span.first, span.last, level + 1, bottom);
        end = std::max(end, span.last);
      }
      // What stands under (over) the scripts in this line is blank.
      for (std::int32_t k = c; k <= end; ++k) {
        const GridCell* under = line ? line->At(k) : nullptr;
        if (under && under->Printing()) failed_ = true;
      }
      Attach(row, std::move(supNode), std::move(subNode));
      c = end + 1;
      continue;
    }
    if (cell) AppendText(row, Kind::Run, U" ");
    ++c;
  }
  return Trimmed(std::move(row));
}

// Where the main line holds two-dimensional mathematics: the columns of each structure, of
// the candidates the first look found.
std::vector<Span> Reader::Structures() {
  std::vector<Span> found;
  const GridLine* above = Line(-1);
  using What = Candidate::What;
  for (const Candidate& candidate : look_.candidates) {
    const std::int32_t c = candidate.first, end = candidate.last;
    bool holds = false;
    switch (candidate.what) {
      case What::kBar:
        holds = HasPrinting(top_, -1, c, end) && HasPrinting(1, bottom_, c, end);
        break;
      case What::kOperator:
        holds = ScriptNear(0, -1, c, c) || ScriptNear(0, 1, c, c);
        break;
      case What::kRoot:
        holds = above && IsOverline(above->At(c + 1));
        break;
      case What::kLimitWord:
        holds = static_cast<bool>(ScriptNear(0, 1, c, end));
        break;
      case What::kStacked:
        holds = true;
        break;
    }
    if (holds) found.push_back({c, end});
  }
  // Lines further out than the first above and below: scripts of scripts, raised numerators.
  if (look_.outerLines) {
    for (const GridLine& line : grid_.lines) {
      if (std::abs(line.level) < 2) continue;
      for (const GridCell& cell : line.cells) {
        if (cell.Printing()) found.push_back({cell.column, cell.column});
      }
    }
  }
  return found;
}

// The zones of the main line that the structures make formulas of: the words of the line they
// stand in, and the words beside those as far as they are mathematics (a sentence's words and
// the punctuation after a formula stay outside).
std::vector<Span> Reader::Zones(const std::vector<Span>& structures) {
  const GridLine& main = *Line(0);
  std::int32_t columns = 0;
  for (const GridLine& line : grid_.lines) columns = std::max(columns, line.columns);
  auto printingAt = [&](std::int32_t c) {
    for (const GridLine& line : grid_.lines) {
      const GridCell* cell = line.At(c);
      if (cell && cell->Printing()) return true;
    }
    return false;
  };
  // Plain spaces of the main line (and columns beyond its end with nothing in them) part words.
  auto parts = [&](std::int32_t c) {
    const GridCell* cell = main.At(c);
    if (cell) return !cell->command && cell->ch == ' ' && !printingAt(c);
    return !printingAt(c);
  };
  std::vector<Span> words;
  for (std::int32_t c = 1; c <= columns; ++c) {
    if (parts(c)) continue;
    Span word{c, c};
    while (word.last + 1 <= columns && !parts(word.last + 1)) ++word.last;
    words.push_back(word);
    c = word.last;
  }
  // A word of the text: two letters or more, none of them with scripts, and no function's name.
  auto isText = [&](const Span& word) {
    std::u32string letters;
    for (std::int32_t c = word.first; c <= word.last; ++c) {
      const GridCell* cell = main.At(c);
      for (const GridLine& line : grid_.lines) {
        const GridCell* other = line.At(c);
        if (line.level != 0 && other && other->Printing()) return false;
      }
      if (!cell || !cell->Printing()) continue;
      if (!IsLetter(cell)) {
        // Punctuation that ends a sentence's word keeps it a word.
        if (c == word.last &&
            (cell->ch == '.' || cell->ch == ',' || cell->ch == ';' || cell->ch == ':'))
          continue;
        return false;
      }
      letters += static_cast<char32_t>(cell->ch);
    }
    // A differential ("dx") is mathematics.
    if (letters.size() == 2 && letters[0] == U'd') return false;
    return letters.size() >= 2 && !In(kFunctionNames, std::u32string_view(letters));
  };
  auto endsInPunctuation = [&](const Span& word) {
    const GridCell* cell = main.At(word.last);
    return cell && cell->Printing() && word.last > word.first &&
           (cell->ch == '.' || cell->ch == ',' || cell->ch == ';' || cell->ch == ':');
  };
  std::vector<Span> zones;
  std::vector<Span> sorted = structures;
  std::sort(sorted.begin(), sorted.end(),
            [](const Span& a, const Span& b) { return a.first < b.first; });
  std::size_t next = 0;  // the first structure that may still meet a word
  for (std::size_t w = 0; w < words.size(); ++w) {
    while (next < sorted.size() && sorted[next].last < words[w].first) ++next;
    const bool holds = next < sorted.size() && sorted[next].first <= words[w].last;
    if (!holds) continue;
    std::size_t from = w, to = w;
    while (from > 0 && !isText(words[from - 1]) && !endsInPunctuation(words[from - 1])) --from;
    while (!endsInPunctuation(words[to]) && to + 1 < words.size() && !isText(words[to + 1])) ++to;
    Span zone{words[from].first, words[to].last};
    if (endsInPunctuation(words[to])) --zone.last;
    if (!zones.empty() && zones.back().last >= zone.first) {
      zones.back().last = std::max(zones.back().last, zone.last);
    } else {
      zones.push_back(zone);
    }
    w = to;
  }
  // Blanks at a zone's ends (an indentation of hard spaces) stay outside it.
  for (Span& zone : zones) {
    auto blank = [&](std::int32_t c) {
      const GridCell* cell = main.At(c);
      return (!cell || cell->Blank()) && !printingAt(c);
    };
    while (zone && blank(zone.first)) ++zone.first;
    while (zone && blank(zone.last)) --zone.last;
  }
  std::erase_if(zones, [](const Span& zone) { return !zone; });
  return zones;
}

GroupFormulas Reader::Read() {
  GroupFormulas result;
  if (grid_.mainLine < 0 || grid_.lines.size() < 2) return result;
  const std::vector<Span> structures = Structures();
  if (structures.empty()) return result;
  taken_.resize(grid_.lines.size());
  for (std::size_t i = 0; i < grid_.lines.size(); ++i) {
    taken_[i].assign(grid_.lines[i].cells.size(), false);
  }
  const std::vector<Span> zones = Zones(structures);
  std::vector<Formula> formulas;
  for (const Span& zone : zones) {
    Formula formula;
    formula.firstColumn = zone.first;
    formula.lastColumn = zone.last;
    formula.root = ParseRow(0, zone.first, zone.last, top_, bottom_);
    if (failed_) return {};
    formulas.push_back(std::move(formula));
  }
  // The main line's zones are the formulas whole; every character of another line in their
  // columns must be in them, and nothing outside them.
  for (std::size_t i = 0; i < grid_.lines.size(); ++i) {
    const GridLine& line = grid_.lines[i];
    for (std::size_t k = 0; k < line.cells.size(); ++k) {
      const GridCell& cell = line.cells[k];
      // The zones are in order and apart: the one that ends at or after the column.
      auto inZone = std::lower_bound(
          zones.begin(), zones.end(), cell.column,
          [](const Span& zone, std::int32_t column) { return zone.last < column; });
      if (inZone != zones.end() && cell.column < inZone->first) inZone = zones.end();
      if (line.level == 0) {
        if (inZone != zones.end()) taken_[i][k] = true;
        continue;
      }
      if (cell.Printing() && taken_[i][k] != (inZone != zones.end())) return {};
    }
  }
  result.formulas = std::move(formulas);
  result.taken = std::move(taken_);
  return result;
}

}  // namespace

GroupFormulas RecognizeFormulas(const FontSlotTable& slots, const LineGroup& group,
                                FontKind carry) {
  const FirstLook look = LookAt(slots, group, carry);
  if (look.Empty()) return {};
  GroupGrid grid = GridOf(slots, group, carry);
  GroupFormulas found = Reader(grid, look).Read();
  if (!found.Empty()) found.grid = std::move(grid);
  return found;
}

}  // namespace pomvex::formulas
