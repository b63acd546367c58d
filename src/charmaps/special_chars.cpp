// Text in a special font goes through the table of that font, character by character; blanks
// and ChiWriter's commands in the text are left alone.
#include "charmaps/special_chars.h"

#include "base/commands.h"
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

// Appends the command whose character is c, as text when nothing converts it; a switch to an
// empty font slot, which switches to nothing, is left out.
void AppendCommand(const DocumentState& doc, std::string& out, char c) {
  if (doc.FontSlots.EmptySlots().Contains(c)) return;
  out += kBackslash;
  if (TextShownCommands.Contains(c)) out += kBackslash;  // a literal backslash before it
  out += c;
}

// Appends text in no special font: commands pair from the start, and those left without a
// meaning are written as text.
void AppendPlainRun(const DocumentState& doc, std::string& out, std::string_view run) {
  if (!doc.LineMayShowCommands || !HasCommand(run, CommandsShownAsText(doc))) {
    out += run;
    return;
  }
  CommandWalk command(run);
  while (command.Next()) {
    out += command.TextBefore();
    AppendCommand(doc, out, command.Char());
  }
  out += command.Rest();  // with a backslash that ends the run
}

}  // namespace

FormulaChars FormulaCharsOf(unsigned char ch, FontKind kind) {
  FormulaChars chars;
  const charmaps::CharTable* table = TableOf(kind);
  const charmaps::CharEntry entry = table ? table->entries[ch] : charmaps::Kept();
  switch (entry.form) {
    case charmaps::CharForm::kUnicode:
    case charmaps::CharForm::kFont5:
      chars.code[chars.count++] = entry.code;
      break;
    case charmaps::CharForm::kUnicodePair:
      chars.code[chars.count++] = entry.code;
      chars.code[chars.count++] = entry.second;
      break;
    case charmaps::CharForm::kHex: {
      // Two hexadecimal digits of the ANSI code page.
      auto digit = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
      const int byte = digit(entry.text[0]) * 16 + digit(entry.text[1]);
      chars.code[chars.count++] = Cp1252Char(static_cast<unsigned char>(byte));
      break;
    }
    case charmaps::CharForm::kKept:
      chars.code[chars.count++] = Cp1252Char(ch);
      break;
    default:  // no character a formula could show
      break;
  }
  return chars;
}

std::string TranslateSpecialChar(Reporter& report, unsigned char ch, FontKind kind) {
  if (const charmaps::CharTable* table = TableOf(kind)) {
    return charmaps::TranslateTableChar(report, *table, ch);
  }
  // Outside the special fonts a character is itself; a lone backslash is written as two.
  return ch == kBackslash ? std::string(2, kBackslash) : std::string(1, static_cast<char>(ch));
}

void AppendFontRun(DocumentState& doc, std::string& out, std::string_view run, FontKind kind) {
  if (!SpecialFonts.Contains(kind)) {
    AppendPlainRun(doc, out, run);
    return;
  }
  Reporter& report = doc.report;
  const charmaps::CharTable& table = *TableOf(kind);
  // Each character's text was worked out with the table; a character the table cannot translate
  // is reported, and written as it is.
  auto translateChar = [&](unsigned char ch) -> const charmaps::CharText& {
    return charmaps::AppendTableChar(report, table, out, ch);
  };
  auto translate = [&](std::string_view text) {
    for (const char c : text) {
      if (c == ' ') {  // blanks are never translated
        out += ' ';
      } else if (translateChar(static_cast<unsigned char>(c)).drawsLine) {
        doc.LineDrawsLines = true;
      }
    }
  };
  // Most runs hold no command: their characters are translated one by one, and a run with
  // commands is walked from its first backslash on.
  const std::size_t first = NextBackslash(run, 0);
  translate(run.substr(0, first));
  if (first == run.size()) return;
  CommandWalk command(run, first);
  while (command.Next()) {
    translate(command.TextBefore());
    const char d = command.Char();
    if (d == kBackslash) {  // the font's own backslash character: the diagonal of a drawing
      if (translateChar(static_cast<unsigned char>(kBackslash)).drawsLine) {
        doc.LineDrawsLines = true;
      }
      continue;
    }
    // A command passes through. "\F" (footnote reference) and "\]" (right or decimal tab)
    // carry one argument character, itself possibly an escaped backslash.
    AppendCommand(doc, out, d);
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
