#include "report/group_view.h"

#include <algorithm>
#include <cstdint>

#include "base/char_sets.h"
#include "charmaps/special_chars.h"
#include "layout/group_grid.h"
#include "report/text_forms.h"

namespace pomvex::report {

namespace {

// The character tables report characters they do not know; here that does not matter.
class QuietReporter : public Reporter {
 public:
  void ReportError(Category, const std::string&) override {}
  void ReportWarning(const std::string&) override {}
};

// Reads a number of RTF text at i; i is left after it.
long RtfNumber(std::string_view rtf, std::size_t& i, bool& has) {
  bool negative = false;
  if (i < rtf.size() && rtf[i] == '-') {
    negative = true;
    ++i;
  }
  long value = 0;
  has = false;
  while (i < rtf.size() && rtf[i] >= '0' && rtf[i] <= '9') {
    if (value < 1000000) value = value * 10 + (rtf[i] - '0');
    has = true;
    ++i;
  }
  return negative ? -value : value;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The byte that the two hexadecimal digits at rtf[at] stand for (as after "\'"), or -1.
int HexByteAt(std::string_view rtf, std::size_t at) {
  if (at + 1 >= rtf.size()) return -1;
  const int high = HexDigit(rtf[at]), low = HexDigit(rtf[at + 1]);
  return high >= 0 && low >= 0 ? high * 16 + low : -1;
}

// The first character that an RTF text for one character (as the tables give it) stands for.
char32_t FirstRtfChar(std::string_view rtf) {
  if (rtf.empty()) return 0xFFFD;
  if (rtf[0] != '\\') return Cp1252Char(static_cast<unsigned char>(rtf[0]));
  if (rtf.size() >= 2 && rtf[1] == '\'') {
    if (const int byte = HexByteAt(rtf, 2); byte >= 0) {
      return Cp1252Char(static_cast<unsigned char>(byte));
    }
  }
  if (rtf.size() >= 3 && rtf[1] == 'u') {
    std::size_t i = 2;
    bool has = false;
    const long code = RtfNumber(rtf, i, has);
    if (has) return static_cast<char32_t>(code < 0 ? code + 65536 : code);
  }
  if (rtf.size() >= 2) return static_cast<unsigned char>(rtf[1]);
  return 0xFFFD;
}

// Text of the grid and the characters it takes.
struct Piece {
  std::string html;
  int width = 0;
};

// One column of a line (or what stands after its last column): the zero-width commands before
// it, then what takes the column.
struct Cell {
  Piece before;
  Piece body;
};

void AppendNumber(Piece& piece, int number) {
  piece.html += "<sup class=\"no\">" + std::to_string(number) + "</sup>";
  piece.width += static_cast<int>(std::to_string(number).size());
}

// The text of a command, in its style; flagged with the number of the problem that marks it.
void AppendCommand(Piece& piece, char c, const char* style, int flag) {
  std::string text = "\\";
  if (c != '\0') text += c;
  piece.html += std::string("<span class=\"") + style + (flag > 0 ? " flag" : "") + "\">";
  AppendHtml(piece.html, NameText(text));
  piece.html += "</span>";
  piece.width += static_cast<int>(text.size());
  if (flag > 0) AppendNumber(piece, flag);
}

// What the problems flag in one line.
struct LineFlags {
  int wholeNo = 0;  // the problem that flags the whole line
  struct Run {
    int first, last, number;
  };
  std::vector<Run> runs;
  struct Command {
    int column;
    char c;
    int number;
  };
  std::vector<Command> commands;

  // The run that covers column: its problem's number, and whether column is its first.
  int RunAt(int column, bool& first) const {
    for (const Run& run : runs) {
      if (column >= run.first && column <= run.last) {
        first = column == run.first;
        return run.number;
      }
    }
    return 0;
  }
  // The number of a flag on the command c at column (taken once).
  int CommandAt(int column, char c) {
    for (Command& command : commands) {
      if (command.column == column && command.c == c) {
        command.column = -1;
        return command.number;
      }
    }
    return 0;
  }
};

// The line's cells, each piece in the column the grid of its group gives it (the columns the
// converter's merges count); a line code that starts it ("\+", "\-") goes to code instead, to be
// shown with the row's label, where it does not widen the first column of the other rows. kind is
// the font in force, from line to line.
std::vector<Cell> LineCells(std::string_view line, const FontSlotTable& slots, FontKind& kind,
                            LineFlags& flags, Piece& code) {
  static QuietReporter quiet;
  std::vector<Cell> cells(1);  // cells[0] stays empty: columns count from 1
  if (line.size() >= 2 && line[0] == '\\' && (line[1] == '+' || line[1] == '-')) {
    AppendCommand(code, line[1], "cmd", flags.CommandAt(1, line[1]));
    line.remove_prefix(2);
  }
  const GridLine grid = GridLineOf(slots, line, 0, 0, kind);
  for (const GridCell& piece : grid.cells) {
    const int column = piece.column;
    if (cells.size() <= static_cast<std::size_t>(column)) cells.resize(column + 1);
    Cell& cell = cells[column];
    bool first = false;
    const int run = flags.RunAt(column, first);
    const int runNo = first ? run : 0;
    if (piece.Length() == 1 && piece.ch == '\\') {  // a lone backslash at the end
      AppendCommand(cell.before, '\0', "cmd", flags.CommandAt(column, '\\'));
      break;
    }
    if (piece.command) {
      const int flag = flags.CommandAt(column, piece.ch);
      if (piece.hardSpace) {
        cell.body.html += run > 0 ? "<span class=\"hs flag\">\xC2\xB7</span>"
                                  : "<span class=\"hs\">\xC2\xB7</span>";
        cell.body.width += 1;
        if (runNo > 0) AppendNumber(cell.body, runNo);
      } else if (piece.takesColumn) {
        AppendCommand(cell.body, piece.ch, "cmd", flag > 0 ? flag : runNo);
      } else {
        AppendCommand(cell.before, piece.ch, piece.fontSwitch ? "font" : "cmd", flag);
      }
      continue;
    }
    const auto byte = static_cast<unsigned char>(piece.ch);
    char32_t shown = Cp437Char(byte);
    const bool special = SpecialFonts.Contains(piece.font) && byte >= 0x20;
    if (special) shown = FirstRtfChar(TranslateSpecialChar(quiet, byte, piece.font));
    std::string text;
    AppendUtf8(text, shown);
    const char* style = run > 0 ? (special ? "sp flag" : "flag") : (special ? "sp" : nullptr);
    if (style != nullptr) cell.body.html += std::string("<span class=\"") + style + "\">";
    AppendHtml(cell.body.html, text);
    if (style != nullptr) cell.body.html += "</span>";
    cell.body.width += 1;
    if (runNo > 0) AppendNumber(cell.body, runNo);
  }
  if (!grid.cells.empty()) kind = grid.cells.back().font;
  return cells;
}

// The row's label: its document line, and whether it is the main line or a script line.
std::string RowLabel(const GroupDetail& detail, int slot) {
  const char* role = slot == detail.mainIndex  ? "main"
                     : detail.mainIndex < 0    ? "line"
                     : slot < detail.mainIndex ? "sup "
                                               : "sub ";
  std::string number = std::to_string(detail.firstLine + slot);
  while (number.size() < 6) number.insert(number.begin(), ' ');
  return number + " " + role + " ";
}

// Room that a column takes in another row, shown as filler.
void AppendRoom(std::string& html, int width) {
  if (width <= 0) return;
  html += "<span class=\"pad\">" + std::string(static_cast<std::size_t>(width), ' ') + "</span>";
}

// What is flagged in each line of the group: the commands, the runs of columns and the whole
// lines, each with the number of its problem.
std::vector<LineFlags> FlagsByLine(const GroupDetail& detail) {
  const int count = static_cast<int>(detail.lines.size());
  std::vector<LineFlags> flags(count);
  for (const GroupDetail::Flag& flag : detail.flags) {
    const ProblemMark& mark = flag.mark;
    int slot = mark.slot;
    if (slot < 0) slot = detail.mainIndex + (mark.side == '>' ? -1 : 1);
    if (slot < 0 || slot >= count) continue;
    const int number = flag.problem + 1;
    LineFlags& line = flags[slot];
    if (mark.command != '\0') {
      line.commands.push_back({mark.column, mark.command, number});
    } else if (mark.column == 0) {
      if (line.wholeNo == 0) line.wholeNo = number;
    } else {
      line.runs.push_back({mark.column, mark.column + std::max(1, mark.width) - 1, number});
    }
  }
  return flags;
}

}  // namespace

std::string GroupGridHtml(const GroupDetail& detail, const std::vector<std::string>& messages) {
  const int count = static_cast<int>(detail.lines.size());
  std::vector<LineFlags> flags = FlagsByLine(detail);
  std::vector<std::vector<Cell>> rows(count);
  std::vector<Piece> codes(count);
  int codeWidth = 0;
  FontKind kind = detail.carry;
  std::size_t columns = 0;
  for (int slot = 0; slot < count; ++slot) {
    rows[slot] = LineCells(detail.lines[slot], detail.slots, kind, flags[slot], codes[slot]);
    if (flags[slot].wholeNo > 0) AppendNumber(codes[slot], flags[slot].wholeNo);
    codeWidth = std::max(codeWidth, codes[slot].width);
    columns = std::max(columns, rows[slot].size());
  }
  // In each column of the grid, what takes the column starts at the same place in every row:
  // after the widest run of zero-width commands before it.
  std::vector<int> before(columns, 0), body(columns, 0);
  for (const std::vector<Cell>& row : rows) {
    for (std::size_t k = 0; k < row.size(); ++k) {
      before[k] = std::max(before[k], row[k].before.width);
      body[k] = std::max(body[k], row[k].body.width);
    }
  }
  std::string html = "<pre class=\"grid\">";
  for (int slot = 0; slot < count; ++slot) {
    const std::vector<Cell>& row = rows[slot];
    const int whole = flags[slot].wholeNo;
    html += "<span class=\"row";
    if (slot == detail.mainIndex) html += " main";
    if (whole > 0) html += " flagrow";
    html += "\"";
    if (whole > 0 && whole - 1 < static_cast<int>(messages.size())) {
      html += " title=\"" + Html(NameText(messages[whole - 1])) + "\"";
    }
    html += "><span class=\"ln\">" + RowLabel(detail, slot) + "</span>" + codes[slot].html;
    html.append(static_cast<std::size_t>(codeWidth - codes[slot].width + 1), ' ');
    for (std::size_t k = 1; k < row.size(); ++k) {
      const Cell& cell = row[k];
      html += cell.before.html;
      if (cell.body.width == 0) break;  // the line's end
      AppendRoom(html, before[k] - cell.before.width);
      html += cell.body.html;
      if (k + 1 < row.size()) AppendRoom(html, body[k] - cell.body.width);
    }
    if (detail.lengths[slot] > detail.lines[slot].size()) {
      html += "<span class=\"cut\">\xE2\x80\xA6 (" + std::to_string(detail.lengths[slot]) +
              " bytes)</span>";
    }
    html += "</span>";
  }
  html += "</pre>";
  return html;
}

namespace {

// Reads RTF text as a reader would show it, into HTML: the text, line ends, tabs, scripts,
// bold, italic and underline, and footnote texts in brackets; destinations that are not text
// are left out.
class RtfReading {
 public:
  void OpenGroup() {
    stack_.push_back(stack_.back());
    stack_.back().footnote = false;
    stack_.back().formula = false;
  }
  void CloseGroup() {
    if (stack_.size() <= 1) return;
    const bool footnote = stack_.back().footnote, formula = stack_.back().formula;
    stack_.pop_back();
    if (footnote || formula) {
      Close();
      out_ += footnote ? "]</span>" : "</span>";
    }
  }
  // A character of the text, as a byte of code page 1252.
  void Text(unsigned char c) {
    if (skipChars_ > 0) {
      --skipChars_;
    } else {
      EmitChar(Cp1252Char(c));
    }
  }
  // The control symbol at rtf[i] (after its backslash); i moves past it.
  void ControlSymbol(std::string_view rtf, std::size_t& i) {
    const char s = rtf[i++];
    const bool counted = skipChars_ > 0;
    if (counted) --skipChars_;
    if (s == '\'') {
      if (const int byte = HexByteAt(rtf, i); byte >= 0) {
        i += 2;
        if (!counted) EmitChar(Cp1252Char(static_cast<unsigned char>(byte)));
      }
    } else if (counted) {
    } else if (s == '\\' || s == '{' || s == '}') {
      EmitChar(static_cast<unsigned char>(s));
    } else if (s == '~') {
      EmitChar(0x00A0);
    } else if (s == '_') {
      EmitChar(0x2011);
    } else if (s == '*') {
      stack_.back().skip = true;
    }
  }
  void ControlWord(std::string_view word, bool has, long value) {
    Style& style = stack_.back();
    const bool on = !has || value != 0;
    if (word == "par" || word == "line" || word == "sect" || word == "page") {
      Emit("<br>");
    } else if (word == "tab") {
      Emit("<span class=\"tab\">\xE2\x87\xA5</span>");
    } else if (word == "u") {
      EmitChar(static_cast<char32_t>(value < 0 ? value + 65536 : value));
      skipChars_ = 1;
    } else if (word == "super" || word == "up") {
      style.sup = on;
    } else if (word == "sub" || word == "dn") {
      style.sub = on;
    } else if (word == "nosupersub") {
      style.sup = style.sub = false;
    } else if (word == "b") {
      style.bold = on;
    } else if (word == "i") {
      style.italic = on;
    } else if (word == "ul") {
      style.under = on;
    } else if (word == "ulnone") {
      style.under = false;
    } else if (word == "plain") {
      style.sup = style.sub = style.bold = style.italic = style.under = false;
    } else if (word == "chftn") {
      Emit("*");
    } else if (word == "mmathPict" && !style.skip) {
      // A formula, as its linear form reads.
      Close();
      out_ += "<span class=\"math\" title=\"formula\">";
      style.formula = true;
    } else if (word == "footnote" && !style.skip) {
      Close();
      out_ += "<span class=\"fn\">[";
      style.footnote = true;
    } else if (IsSkippedDestination(word)) {
      style.skip = true;
    }
  }
  std::string Finish() {
    Close();
    while (stack_.size() > 1) {
      if (stack_.back().footnote) out_ += "]</span>";
      if (stack_.back().formula) out_ += "</span>";
      stack_.pop_back();
    }
    return std::move(out_);
  }

 private:
  struct Style {
    bool sup = false, sub = false, bold = false, italic = false, under = false;
    bool footnote = false;  // the group opens a footnote's text
    bool formula = false;   // the group holds a formula's linear form
    bool skip = false;      // a destination that is not text
    bool operator==(const Style&) const = default;
  };

  static bool IsSkippedDestination(std::string_view word) {
    for (std::string_view skipped :
         {"header", "footer", "headerl", "headerr", "footerl", "footerr", "headerf", "footerf",
          "fonttbl", "colortbl", "stylesheet", "info", "pict", "chftnsep", "field", "fldinst"}) {
      if (word == skipped) return true;
    }
    return false;
  }
  // Closes the tags open in out.
  void Close() {
    if (shown_.under) out_ += "</u>";
    if (shown_.italic) out_ += "</i>";
    if (shown_.bold) out_ += "</b>";
    if (shown_.sub) out_ += "</sub>";
    if (shown_.sup) out_ += "</sup>";
    shown_ = Style{};
  }
  void Emit(std::string_view html) {
    Style want = stack_.back();
    if (want.skip) return;
    want.footnote = false;
    want.formula = false;
    if (!(want == shown_)) {
      Close();
      if (want.sup) out_ += "<sup>";
      if (want.sub && !want.sup) out_ += "<sub>";
      if (want.bold) out_ += "<b>";
      if (want.italic) out_ += "<i>";
      if (want.under) out_ += "<u>";
      shown_ = want;
      shown_.sub = want.sub && !want.sup;
    }
    out_ += html;
  }
  void EmitChar(char32_t code) {
    std::string text;
    AppendUtf8(text, code);
    Emit(Html(text));
  }

  std::vector<Style> stack_{Style{}};
  Style shown_;  // the style of the tags open in out_
  std::string out_;
  std::size_t skipChars_ = 0;  // the characters that stand for a \u character
};

}  // namespace

std::string RtfTextHtml(std::string_view rtf) {
  RtfReading reading;
  for (std::size_t i = 0; i < rtf.size();) {
    const char c = rtf[i++];
    if (c == '{') {
      reading.OpenGroup();
    } else if (c == '}') {
      reading.CloseGroup();
    } else if (c == '\r' || c == '\n') {
    } else if (c != '\\') {
      reading.Text(static_cast<unsigned char>(c));
    } else if (i >= rtf.size()) {
      break;
    } else if (!IsLetter(rtf[i])) {
      reading.ControlSymbol(rtf, i);
    } else {
      const std::size_t start = i;
      while (i < rtf.size() && IsLetter(rtf[i])) ++i;
      const std::string_view word = rtf.substr(start, i - start);
      bool has = false;
      const long value = RtfNumber(rtf, i, has);
      if (i < rtf.size() && rtf[i] == ' ') ++i;
      reading.ControlWord(word, has, value);
    }
  }
  return reading.Finish();
}

}  // namespace pomvex::report
