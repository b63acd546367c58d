// Text in a special font goes through the table of that font, character by character; blanks
// and ChiWriter's commands in the text are left alone.
#include "charmaps/special_chars.h"

#include "base/commands.h"
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

// Appends the RTF text of ch through table (none: ch itself); a result that is one lone
// backslash is written as two, since a single one would start an RTF control word. Gives whether
// the glyph draws a line.
bool AppendTableText(Reporter& report, std::string& out, unsigned char ch,
                     const charmaps::CharTable* table) {
  const std::size_t before = out.size();
  bool draws = false;
  if (table != nullptr) {
    charmaps::AppendTableChar(report, *table, out, ch);
    draws = DrawsLine(charmaps::LookUpChar(*table, ch));
  } else {
    out += static_cast<char>(ch);
  }
  if (out.size() == before + 1 && out.back() == kBackslash) out += kBackslash;
  return draws;
}

bool AppendSpecialChar(Reporter& report, std::string& out, unsigned char ch, FontKind kind) {
  return AppendTableText(report, out, ch, TableOf(kind));
}

// Appends the command whose character is c, as text when nothing converts it.
void AppendCommand(std::string& out, char c) {
  out += kBackslash;
  if (TextShownCommands.Contains(c)) out += kBackslash;  // a literal backslash before it
  out += c;
}

// Appends text in no special font: commands pair from the start, and those left without a
// meaning are written as text.
void AppendPlainRun(const DocumentState& doc, std::string& out, std::string_view run) {
  if (!doc.LineMayShowCommands || !HasCommand(run, TextShownCommands)) {
    out += run;
    return;
  }
  CommandWalk command(run);
  while (command.Next()) {
    out += command.TextBefore();
    AppendCommand(out, command.Char());
  }
  out += command.Rest();  // with a backslash that ends the run
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
  const charmaps::CharTable* table = TableOf(kind);
  auto translate = [&](std::string_view text) {
    for (const char c : text) {
      if (c == ' ') {  // blanks are never translated
        out += ' ';
      } else if (AppendTableText(report, out, static_cast<unsigned char>(c), table)) {
        doc.LineDrawsLines = true;
      }
    }
  };
  CommandWalk command(run);
  while (command.Next()) {
    translate(command.TextBefore());
    const char d = command.Char();
    if (d == kBackslash) {  // the font's own backslash character
      AppendSpecialChar(report, out, static_cast<unsigned char>(kBackslash), kind);
      continue;
    }
    // A command passes through. "\F" (footnote reference) and "\]" (right or decimal tab)
    // carry one argument character, itself possibly an escaped backslash.
    AppendCommand(out, d);
    std::size_t next = command.End();
    if ((d == 'F' || d == ']') && next < run.size()) {
      out += run[next];
      if (run[next] == kBackslash && next + 1 < run.size()) out += run[++next];
      command.ResumeAt(next + 1);
    }
  }
  const std::string_view rest = command.Rest();
  if (command.LoneAtEnd()) {  // a backslash ending the run stays as it is
    translate(rest.substr(0, rest.size() - 1));
    out += kBackslash;
  } else {
    translate(rest);
  }
}

}  // namespace pomvex
