#include "report/group_view.h"

#include <algorithm>
#include <cstdint>

#include "base/char_sets.h"
#include "charmaps/special_chars.h"
#include "report/text_forms.h"

namespace pomvex::report {

namespace {

// The character tables report characters they do not know; here that does not matter.
class QuietReporter : public Reporter {
 public:
  void ReportError(int, const std::string&) override {}
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

// The first character that an RTF text for one character (as the tables give it) stands for.
char32_t FirstRtfChar(std::string_view rtf) {
  if (rtf.empty()) return 0xFFFD;
  if (rtf[0] != '\\') return Cp1252Char(static_cast<unsigned char>(rtf[0]));
  if (rtf.size() >= 4 && rtf[1] == '\'') {
    const int high = HexDigit(rtf[2]), low = HexDigit(rtf[3]);
    if (high >= 0 && low >= 0) return Cp1252Char(static_cast<unsigned char>(high * 16 + low));
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

// One column of a line (or what stands after its last column): the zero-width commands before
// it, then what takes the column.
struct Cell {
  std::string html;
  int width = 0;  // in characters of the grid
};

// The text of a command, in its style; flagged when a problem marks it.
void AppendCommand(Cell& cell, char c, const char* style, int flag) {
  std::string text = "\\";
  if (c != '\0') text += static_cast<char>(c);
  cell.html += std::string("<span class=\"") + style + (flag > 0 ? " flag" : "") + "\">";
  AppendHtml(cell.html, NameText(text));
  cell.html += "</span>";
  if (flag > 0) cell.html += "<sup class=\"no\">" + std::to_string(flag) + "</sup>";
  cell.width += static_cast<int>(text.size()) + (flag > 0 ? 1 : 0);
}

// The column's number for a flag on it: the problem's number, or 0.
struct LineFlags {
  bool whole = false;
  int wholeNo = 0;
  std::vector<std::pair<int, int>> runs;  // first and last column, with the problem's number
  std::vector<int> runNos;
  std::vector<std::pair<int, char>> commands;  // column and command character
  std::vector<int> commandNos;

  int RunAt(int column) const {
    for (std::size_t k = 0; k < runs.size(); ++k) {
      if (column >= runs[k].first && column <= runs[k].second) return runNos[k];
    }
    return 0;
  }
  // The number of a flag on the command c at column (taken once).
  int CommandAt(int column, char c) {
    for (std::size_t k = 0; k < commands.size(); ++k) {
      if (commands[k].first == column && commands[k].second == c) {
        commands[k].first = -1;
        return commandNos[k];
      }
    }
    return 0;
  }
};

// The line's cells; a line code that starts it ("\\+", "\\-") goes to code instead, to be shown
// with the row's label, where it does not widen the first column of the other rows.
std::vector<Cell> LineCells(std::string_view line, const FontSlotTable& slots, FontKind& kind,
                            LineFlags& flags, Cell& code) {
  static QuietReporter quiet;
  std::vector<Cell> cells(1);  // cells[0] gathers what stands before the first column
  int column = 1;
  if (line.size() >= 2 && line[0] == '\\' && (line[1] == '+' || line[1] == '-')) {
    AppendCommand(code, line[1], "cmd", flags.CommandAt(1, line[1]));
    line.remove_prefix(2);
  }
  const std::size_t n = line.size();
  auto current = [&]() -> Cell& {
    if (cells.size() <= static_cast<std::size_t>(column)) cells.resize(column + 1);
    return cells[column];
  };
  // Zero-width commands go in front of the column that follows them.
  for (std::size_t i = 0; i < n;) {
    const char c = line[i];
    if (c == '\\') {
      const char next = i + 1 < n ? line[i + 1] : '\0';
      Cell& cell = current();
      if (next == '\0') {
        AppendCommand(cell, '\0', "cmd", flags.CommandAt(column, '\\'));
        ++i;
        continue;
      }
      const int flag = flags.CommandAt(column, next);
      if (PositionColumnCommands.Contains(next)) {
        const int run = flags.RunAt(column);
        if (next == ' ') {
          cell.html += run > 0 ? "<span class=\"hs flag\">\xC2\xB7</span>"
                               : "<span class=\"hs\">\xC2\xB7</span>";
          cell.width += 1;
        } else {
          AppendCommand(cell, next, "cmd", flag > 0 ? flag : run);
        }
        ++column;
      } else if (SlotChars.Contains(next) && slots[next] != NONE) {
        kind = slots[next];
        AppendCommand(cell, next, "font", flag);
      } else {
        AppendCommand(cell, next, "cmd", flag);
      }
      i += 2;
      continue;
    }
    Cell& cell = current();
    const auto byte = static_cast<unsigned char>(c);
    char32_t code = Cp437Char(byte);
    const bool special = SpecialFonts.Contains(kind) && byte >= 0x20;
    if (special) code = FirstRtfChar(TranslateSpecialChar(quiet, byte, kind));
    std::string text;
    AppendUtf8(text, code);
    const int run = flags.RunAt(column);
    const char* style = run > 0 ? (special ? "sp flag" : "flag") : (special ? "sp" : nullptr);
    if (style != nullptr) cell.html += std::string("<span class=\"") + style + "\">";
    AppendHtml(cell.html, text);
    if (style != nullptr) cell.html += "</span>";
    cell.width += 1;
    ++column;
    ++i;
  }
  return cells;
}

// The row's label: its document line, and whether it is the main line or a script line.
std::string RowLabel(const GroupDetail& detail, int slot) {
  const char* role = slot == detail.mainIndex  ? "main"
                     : detail.mainIndex < 0    ? "line"
                     : slot < detail.mainIndex ? "sup"
                                               : "sub";
  std::string number = std::to_string(detail.firstLine + slot);
  while (number.size() < 6) number.insert(number.begin(), ' ');
  return number + " " + role + " ";
}

}  // namespace

std::string GroupGridHtml(const GroupDetail& detail, const std::vector<std::string>& messages) {
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
      line.commands.push_back({mark.column, mark.command});
      line.commandNos.push_back(number);
    } else if (mark.column == 0) {
      line.whole = true;
      if (line.wholeNo == 0) line.wholeNo = number;
    } else {
      line.runs.push_back({mark.column, mark.column + std::max(1, mark.width) - 1});
      line.runNos.push_back(number);
    }
  }
  std::vector<std::vector<Cell>> rows(count);
  std::vector<Cell> codes(count);
  int codeWidth = 0;
  FontKind kind = detail.carry;
  std::size_t columns = 0;
  for (int slot = 0; slot < count; ++slot) {
    rows[slot] = LineCells(detail.lines[slot], detail.slots, kind, flags[slot], codes[slot]);
    codeWidth = std::max(codeWidth, codes[slot].width);
    columns = std::max(columns, rows[slot].size());
  }
  // Each column of the grid is as wide as its widest cell.
  std::vector<int> widths(columns, 1);
  widths[0] = 0;
  for (const std::vector<Cell>& row : rows) {
    for (std::size_t k = 0; k < row.size(); ++k) widths[k] = std::max(widths[k], row[k].width);
  }
  std::string html = "<pre class=\"grid\">";
  for (int slot = 0; slot < count; ++slot) {
    const LineFlags& line = flags[slot];
    const std::vector<Cell>& row = rows[slot];
    html += "<span class=\"row";
    if (slot == detail.mainIndex) html += " main";
    if (line.whole) html += " flagrow";
    html += "\"";
    if (line.whole && line.wholeNo - 1 < static_cast<int>(messages.size())) {
      html += " title=\"" + Html(NameText(messages[line.wholeNo - 1])) + "\"";
    }
    html += "><span class=\"ln\">" + RowLabel(detail, slot) + "</span>";
    html += codes[slot].html;
    int gutter = codeWidth - codes[slot].width + 1;
    if (line.whole) {
      html += "<sup class=\"no\">" + std::to_string(line.wholeNo) + "</sup>";
      --gutter;
    }
    html.append(static_cast<std::size_t>(std::max(0, gutter)), ' ');
    std::size_t last = row.size();
    while (last > 0 && row[last - 1].width == 0) --last;
    // The room a column takes in another row, beyond this row's own text, is shown as filler.
    for (std::size_t k = 0; k < row.size(); ++k) {
      html += row[k].html;
      const int pad = widths[k] - row[k].width;
      if (k + 1 >= last || pad <= 0) continue;
      const std::string room(static_cast<std::size_t>(pad), ' ');
      html += row[k].width == 0 || k == 0 ? room : "<span class=\"pad\">" + room + "</span>";
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

std::string RtfTextHtml(std::string_view rtf) {
  struct Style {
    bool sup = false, sub = false, bold = false, italic = false, under = false;
    bool footnote = false;  // the group opens a footnote's text
    bool skip = false;      // a destination that is not text
    bool operator==(const Style&) const = default;
  };
  std::vector<Style> stack{Style{}};
  Style shown;  // the style of the tags open in out
  std::string out;
  auto close = [&]() {
    if (shown.under) out += "</u>";
    if (shown.italic) out += "</i>";
    if (shown.bold) out += "</b>";
    if (shown.sub) out += "</sub>";
    if (shown.sup) out += "</sup>";
    shown = Style{};
  };
  auto emit = [&](std::string_view html) {
    Style want = stack.back();
    if (want.skip) return;
    want.footnote = false;
    if (!(want == shown)) {
      close();
      if (want.sup) out += "<sup>";
      if (want.sub && !want.sup) out += "<sub>";
      if (want.bold) out += "<b>";
      if (want.italic) out += "<i>";
      if (want.under) out += "<u>";
      shown = want;
      shown.sub = want.sub && !want.sup;
    }
    out += html;
  };
  auto emitChar = [&](char32_t code) {
    std::string text;
    AppendUtf8(text, code);
    emit(Html(text));
  };
  std::size_t skipChars = 0;  // the characters that stand for a \u character
  for (std::size_t i = 0; i < rtf.size();) {
    const char c = rtf[i];
    if (c == '{') {
      stack.push_back(stack.back());
      stack.back().footnote = false;
      ++i;
      continue;
    }
    if (c == '}') {
      if (stack.size() > 1) {
        const bool footnote = stack.back().footnote;
        stack.pop_back();
        if (footnote) {
          close();
          out += "]</span>";
        }
      }
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c != '\\') {
      if (skipChars > 0) {
        --skipChars;
      } else {
        emitChar(Cp1252Char(static_cast<unsigned char>(c)));
      }
      ++i;
      continue;
    }
    // A control word or symbol.
    ++i;
    if (i >= rtf.size()) break;
    const char s = rtf[i];
    if (!((s >= 'a' && s <= 'z') || (s >= 'A' && s <= 'Z'))) {
      ++i;
      const bool counted = skipChars > 0;
      if (counted) --skipChars;
      if (s == '\'') {
        const int high = i < rtf.size() ? HexDigit(rtf[i]) : -1;
        const int low = i + 1 < rtf.size() ? HexDigit(rtf[i + 1]) : -1;
        if (high >= 0 && low >= 0) {
          i += 2;
          if (!counted) emitChar(Cp1252Char(static_cast<unsigned char>(high * 16 + low)));
        }
      } else if (counted) {
      } else if (s == '\\' || s == '{' || s == '}') {
        emitChar(static_cast<unsigned char>(s));
      } else if (s == '~') {
        emitChar(0x00A0);
      } else if (s == '_') {
        emitChar(0x2011);
      } else if (s == '*') {
        stack.back().skip = true;
      }
      continue;
    }
    const std::size_t start = i;
    while (i < rtf.size() && ((rtf[i] >= 'a' && rtf[i] <= 'z') || (rtf[i] >= 'A' && rtf[i] <= 'Z')))
      ++i;
    const std::string_view word = rtf.substr(start, i - start);
    bool has = false;
    const long value = RtfNumber(rtf, i, has);
    if (i < rtf.size() && rtf[i] == ' ') ++i;
    Style& style = stack.back();
    const bool on = !has || value != 0;
    if (word == "par" || word == "line" || word == "sect" || word == "page") {
      emit("<br>");
    } else if (word == "tab") {
      emit("<span class=\"tab\">\xE2\x87\xA5</span>");
    } else if (word == "u") {
      emitChar(static_cast<char32_t>(value < 0 ? value + 65536 : value));
      skipChars = 1;
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
      emit("*");
    } else if (word == "footnote" && !style.skip) {
      close();
      out += "<span class=\"fn\">[";
      style.footnote = true;
    } else if (word == "header" || word == "footer" || word == "headerl" || word == "headerr" ||
               word == "footerl" || word == "footerr" || word == "headerf" || word == "footerf" ||
               word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" ||
               word == "pict" || word == "chftnsep" || word == "field" || word == "fldinst") {
      style.skip = true;
    }
  }
  close();
  while (stack.size() > 1) {
    if (stack.back().footnote) out += "]</span>";
    stack.pop_back();
  }
  return out;
}

}  // namespace pomvex::report
