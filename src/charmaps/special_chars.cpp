// Text in a special font goes through the table of that font, character by character; blanks
// and ChiWriter's commands in the text are left alone.
#include "charmaps/special_chars.h"

#include <algorithm>

#include "base/text_util.h"
#include "charmaps/char_table.h"

namespace pomvex {

namespace {

const charmaps::CharTable* TableOf(FontKind kind) {
  switch (kind) {
    case FOREIGN:
      return &charmaps::ForeignTable();
    case SYMBOL:
      return &charmaps::SymbolTable();
    case GREEK:
      return &charmaps::GreekTable();
    case LINEDRAW:
      return &charmaps::LinedrawTable();
    case MATHI:
      return &charmaps::MathITable();
    case MATHII:
      return &charmaps::MathIITable();
    default:
      return nullptr;
  }
}

// Whether the entry's glyph is a piece of a line drawing, a character of the Box Drawing block.
bool DrawsLine(const charmaps::CharEntry& entry) {
  auto inBlock = [](char32_t c) { return c >= 0x2500 && c <= 0x257F; };
  return (entry.form == charmaps::CharForm::kUnicode ||
          entry.form == charmaps::CharForm::kUnicodePair) &&
         (inBlock(entry.code) || inBlock(entry.second));
}

// Appends the RTF text of ch in kind; a result that is one lone backslash is written as two,
// since a single one would start an RTF control word. Gives whether the glyph draws a line.
bool AppendSpecialChar(Reporter& report, std::string& out, unsigned char ch, FontKind kind) {
  const std::size_t before = out.size();
  bool draws = false;
  if (const charmaps::CharTable* table = TableOf(kind)) {
    charmaps::AppendTableChar(report, *table, out, ch);
    draws = DrawsLine(charmaps::LookUpChar(*table, ch));
  } else {
    out += static_cast<char>(ch);
  }
  if (out.size() == before + 1 && out.back() == '\\') out += '\\';
  return draws;
}

// Appends the command whose character is c, as text when nothing converts it.
void AppendCommand(std::string& out, char c) {
  out += TextShownCommands.Contains(c) ? "\\\\" : "\\";  // a literal backslash, or a command
  out += c;
}

// Appends text in no special font: commands pair from the start, and those left without a
// meaning are written as text.
void AppendPlainRun(const DocumentState& doc, std::string& out, std::string_view run) {
  if (!doc.LineMayShowCommands || !HasCommand(run, TextShownCommands)) {
    out += run;
    return;
  }
  const std::size_t n = run.size();
  for (std::size_t i = 0; i < n;) {
    const std::size_t at = NextBackslash(run, i);
    out.append(run, i, at - i);
    if (at + 1 >= n) {
      out.append(run, at);  // nothing, or a backslash that ends the run
      break;
    }
    AppendCommand(out, run[at + 1]);
    i = at + 2;
  }
}

}  // namespace

std::string TranslateSpecialChar(Reporter& report, unsigned char ch, FontKind kind) {
  std::string out;
  AppendSpecialChar(report, out, ch, kind);
  return out;
}

void AppendFontRun(DocumentState& doc, std::string& out, std::string_view run, FontKind kind) {
  if (!SpecialFonts.Contains(kind)) {
    AppendPlainRun(doc, out, run);
    return;
  }
  Reporter& report = doc.report;
  const std::size_t n = run.size();
  std::size_t i = 0;
  while (i < n) {
    const char c = run[i];
    if (c == ' ') {  // blanks are never translated
      out += ' ';
      i += 1;
    } else if (c != '\\') {
      if (AppendSpecialChar(report, out, static_cast<unsigned char>(c), kind))
        doc.LineDrawsLines = true;
      i += 1;
    } else if (i + 1 == n) {  // a backslash ending the run stays as it is
      out += '\\';
      i += 1;
    } else if (run[i + 1] == '\\') {  // the font's own backslash character
      AppendSpecialChar(report, out, '\\', kind);
      i += 2;
    } else {
      // A command passes through. "\F" (footnote reference) and "\]" (right or decimal tab)
      // carry one argument character, itself possibly an escaped backslash.
      const char d = run[i + 1];
      AppendCommand(out, d);
      if ((d == 'F' || d == ']') && i + 2 < n) {
        out += run[i + 2];
        if (run[i + 2] == '\\' && i + 3 < n) {
          out += run[i + 3];
          i += 1;
        }
        i += 1;
      }
      i += 2;
    }
  }
}

int TranslateFontRun(DocumentState& doc, std::string& line, FontKind kind, int start, int stop) {
  const int length = Length(line);
  const int last = stop < 0 || stop > length ? length : stop;
  start = std::clamp(start, 1, last + 1);
  // Outside the special fonts only a command shown as text changes the run.
  if (!SpecialFonts.Contains(kind) &&
      !HasCommand(std::string_view(line).substr(static_cast<std::size_t>(start - 1),
                                                static_cast<std::size_t>(last - start + 1)),
                  TextShownCommands)) {
    return stop < 0 ? 0 : stop + 1;
  }
  stop = last;
  std::string out = line.substr(0, static_cast<std::size_t>(start - 1));
  AppendFontRun(doc, out,
                std::string_view(line).substr(static_cast<std::size_t>(start - 1),
                                              static_cast<std::size_t>(stop - start + 1)),
                kind);
  if (stop == length) {
    line = std::move(out);
    return 0;
  }
  const int next = Length(out) + 1;
  out.append(line, static_cast<std::size_t>(stop));
  line = std::move(out);
  return next;
}

}  // namespace pomvex
