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

// Appends the RTF text of ch in kind; a result that is one lone backslash is written as two,
// since a single one would start an RTF control word.
void AppendSpecialChar(Reporter& report, std::string& out, unsigned char ch, FontKind kind) {
  const std::size_t before = out.size();
  if (const charmaps::CharTable* table = TableOf(kind)) {
    charmaps::AppendTableChar(report, *table, out, ch);
  } else {
    out += static_cast<char>(ch);
  }
  if (out.size() == before + 1 && out.back() == '\\') out += '\\';
}

}  // namespace

std::string TranslateSpecialChar(Reporter& report, unsigned char ch, FontKind kind) {
  std::string out;
  AppendSpecialChar(report, out, ch, kind);
  return out;
}

void AppendFontRun(Reporter& report, std::string& out, std::string_view run, FontKind kind) {
  if (!SpecialFonts.Contains(kind)) {
    out += run;
    return;
  }
  const std::size_t n = run.size();
  std::size_t i = 0;
  while (i < n) {
    const char c = run[i];
    if (c == ' ') {  // blanks are never translated
      out += ' ';
      i += 1;
    } else if (c != '\\') {
      AppendSpecialChar(report, out, static_cast<unsigned char>(c), kind);
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
      out += '\\';
      out += d;
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
  if (!SpecialFonts.Contains(kind)) return stop < 0 ? 0 : stop + 1;
  const int length = Length(line);
  if (stop < 0 || stop > length) stop = length;
  start = std::clamp(start, 1, stop + 1);
  std::string out = line.substr(0, static_cast<std::size_t>(start - 1));
  AppendFontRun(doc.report, out,
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
