// Footnote references become the footnote's mark and an RTF footnote, script runs become
// superscript and subscript groups, the page-number command a page-number field, and escaped
// spaces plain spaces. What these steps insert carries its formatting in a group of its own.
#include "fonts/footnotes_scripts.h"

#include <algorithm>
#include <bitset>
#include <charconv>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/commands.h"
#include "charmaps/special_chars.h"
#include "fonts/character_format.h"

namespace pomvex {

namespace {

constexpr bool IsFootnoteSymbol(char c) {
  return c >= '!' && c <= '9';
}
constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The reader's automatic footnote number, raised.
constexpr std::string_view kAutoNumber = "{\\super\\chftn}";
// The end of a paragraph's group.
constexpr std::string_view kParagraphEnd = "\\par}";

// Whether a footnote made from a body reference to symbol takes the automatic number: the body
// footnotes so far carried "1", "2", ... and this one carries the next digit. The first one that
// does not stops the numbering for the rest of the document, as readers number the footnotes
// that keep their marks as well.
bool TakesAutomaticNumber(DocumentState& doc, char symbol) {
  if (doc.FootnoteNumberingStopped) return false;
  if (symbol == '1' + doc.NumberedFootnotes) {
    ++doc.NumberedFootnotes;
    return true;
  }
  doc.FootnoteNumberingStopped = true;
  return false;
}

// Where the number goes in a footnote's text: after the paragraph properties of its first
// paragraph ("{\pard", its control words and the space that ends them), or at the very start.
std::size_t NumberPosition(std::string_view text) {
  constexpr std::string_view kParagraph = "{\\pard";
  if (text.substr(0, kParagraph.size()) != kParagraph) return 0;
  auto isLetter = [](char c) { return c >= 'a' && c <= 'z'; };
  auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  std::size_t i = kParagraph.size();
  while (i + 1 < text.size() && text[i] == kBackslash && isLetter(text[i + 1])) {
    ++i;
    while (i < text.size() && isLetter(text[i])) ++i;
    if (i < text.size() && text[i] == '-') ++i;
    while (i < text.size() && isDigit(text[i])) ++i;
  }
  if (i < text.size() && text[i] == ' ') ++i;
  return i;
}

void ReportBadSymbol(Reporter& report, char symbol) {
  report.ReportError(Category::FootnoteProblem, std::string("Unexpected footnote symbol ") +
                                                    symbol + ". Failed to insert footnote");
}

// A footnote text left to the writer stands in the line as a marker: a backslash and Ctrl-Z
// (which never reaches a line: it ends the input), the symbol, a letter for what the writer
// adds ('a' and the flags below), the text's length when the line referred to it, and ";". To
// the later steps it is a command they do not know, followed by plain characters.
constexpr char kMarker = '\x1a';
constexpr int kNumbered = 1;    // the automatic number goes after the paragraph properties
constexpr int kPageNumber = 2;  // the text's first page-number command becomes the field

struct FootnoteMarker {
  char symbol = '1';
  int flags = 0;
  std::size_t length = 0;
  std::size_t end = 0;  // just after the ";"
};

void AppendMarker(std::string& out, char symbol, int flags, std::size_t length) {
  char marker[32] = {kBackslash, kMarker, symbol, static_cast<char>('a' + flags)};
  char* end = std::to_chars(marker + 4, marker + sizeof marker - 1, length).ptr;
  *end++ = ';';
  out.append(marker, static_cast<std::size_t>(end - marker));
}

// The marker whose Ctrl-Z stands at text[at].
FootnoteMarker ReadMarker(std::string_view text, std::size_t at) {
  FootnoteMarker marker;
  marker.symbol = text[at + 1];
  marker.flags = text[at + 2] - 'a';
  std::size_t i = at + 3;
  for (; text[i] != ';'; ++i) marker.length = marker.length * 10 + (text[i] - '0');
  marker.end = i + 1;
  return marker;
}

// The facts of the footnote text for symbol as it stands now.
const FootnoteTextFacts& FactsOf(DocumentState& doc, char symbol) {
  FootnoteTextFacts& facts = doc.FootnoteFacts[static_cast<std::size_t>(symbol - '!')];
  const std::string& text = doc.FootnoteText(symbol);
  if (facts.length == text.size()) return facts;
  facts = {};
  facts.length = text.size();
  facts.pageNumber = FindCommand(text, '@');
  // Steps 12, 13 and 15 rewrite script markers, line-drawing placeholders and hard spaces; a
  // reference that makes a footnote would bring in another text; a backslash left alone at
  // the end would pair with what follows the text in the line. A text converted from a
  // footnote section has none of them: its own pipeline took them all.
  static constexpr CharSet kRewritten{"<>: LE\x1a"};
  facts.writtenAsItIs = !EndsInLoneBackslash(text) && !HasCommand(text, kRewritten);
  static constexpr CharSet kReference{"F"};
  for (std::size_t i = FindCommand(text, kReference); i != kNoIndex;
       i = FindCommand(text, kReference, i + 2)) {
    const char symbol = i + 2 < text.size() ? text[i + 2] : ' ';
    if (IsFootnoteSymbol(symbol)) facts.writtenAsItIs = false;
    facts.badSymbols += symbol;
  }
  return facts;
}

void AppendWithFootnotes(DocumentState& doc, std::string_view text, std::bitset<25>& active,
                         std::string& out, bool marking);

}  // namespace

// The footnote's mark and its group are appended, its text inserted (or, with marking, the
// marker that stands for it when the text can be written as it is); a bad symbol is reported and
// the reference stays as text.
std::size_t AppendReference(DocumentState& doc, char symbol, std::bitset<25>& active,
                            std::string& out, bool marking) {
  if (!IsFootnoteSymbol(symbol)) {
    ReportBadSymbol(doc.report, symbol);
    // The reference stays as text, its backslash a literal one, so that a reader does not take
    // it and the letters after it for a control word; the character after it is read again as
    // text.
    out += "\\\\F";
    return 2;
  }
  const std::string mark = FootnoteMark(doc.report, symbol);
  const std::size_t slot = static_cast<std::size_t>(symbol - '!');
  if (doc.InFootnoteText || active[slot]) {
    out += mark;
    return 3;
  }
  // Only a reference in the body proper can be numbered: not one in a page section, nor one in a
  // footnote text inserted into this line. An endnote always takes the reader's number: readers
  // number endnotes themselves, so a mark of the author's would be a second number.
  const bool numbered = !doc.InPageSection && active.none() &&
                        (doc.Settings.EN || TakesAutomaticNumber(doc, symbol));
  if (numbered) {
    out += kAutoNumber;
  } else {
    out += '{';
    out += mark;
    out += '}';
  }
  // With notes set as endnotes, each note says so itself: readers ignore "\fet1" alone.
  out +=
      doc.Settings.EN ? std::string_view("{\\footnote\\ftnalt ") : std::string_view("{\\footnote ");
  const FootnoteTextFacts* facts = marking ? &FactsOf(doc, symbol) : nullptr;
  if (facts != nullptr && facts->writtenAsItIs) {
    // What scanning the text would report, in its order.
    for (const char bad : facts->badSymbols) ReportBadSymbol(doc.report, bad);
    AppendMarker(out, symbol, numbered ? kNumbered : 0, facts->length);
  } else {
    std::string_view footnote = doc.FootnoteText(symbol);
    if (numbered) {
      // The note repeats its number at the start of its first paragraph.
      const std::size_t number = NumberPosition(footnote);
      out.append(footnote.substr(0, number));
      out += kAutoNumber;
      out += ' ';
      footnote.remove_prefix(number);
    }
    // The note closes its last paragraph itself: a "\par" there would leave an empty paragraph
    // at the end of the note, or break the body's line after the reference.
    const bool lastParagraphEnds = footnote.ends_with(kParagraphEnd);
    if (lastParagraphEnds) footnote.remove_suffix(kParagraphEnd.size());
    active.set(slot);
    AppendWithFootnotes(doc, footnote, active, out, /*marking=*/false);
    active.reset(slot);
    if (lastParagraphEnds) out += '}';
  }
  out += '}';
  return 3;
}

namespace {

// Appends text to out with its footnote references converted. The scan goes command by
// command, so a literal backslash ("\\") never starts a reference. The text of an inserted
// footnote is scanned like the rest of the line; active holds the symbols whose text is being
// inserted around the current point, and a reference back to one of them gets its mark only,
// as inserting that text again would never end. With marking, a footnote that the line itself
// refers to gets a marker in place of its text when that text can be written as it is.
void AppendWithFootnotes(DocumentState& doc, std::string_view text, std::bitset<25>& active,
                         std::string& out, bool marking) {
  CommandWalk command(text);
  while (command.Next()) {
    out += command.TextBefore();
    if (command.Char() != 'F') {
      out += text.substr(command.At(), 2);
      continue;
    }
    const std::size_t i = command.At();
    const char symbol = i + 2 < text.size() ? text[i + 2] : ' ';
    command.ResumeAt(i + AppendReference(doc, symbol, active, out, marking));
  }
  out += command.Rest();
}

}  // namespace

// The page-number field, and the space after it, in the page-number font.
std::string PageNumberField(const DocumentState& doc) {
  // A PF that names no slot holding a font is written as STANDARD is.
  const FontKind kind = doc.FontSlots[doc.Settings.PF];
  // The old values are no valid indices: face, style and size are all written.
  return "{" + FaceCodes(3, FaceOf(kind)) + StyleCodes(4, StyleOf(kind)) +
         SizeCodes(3, SizeOf(kind)) + "\\chpgn} ";
}

namespace {

// Writes the footnote text a marker stands for, as step 11 would have put it into the line and
// the later steps left it.
void WriteFootnoteText(const DocumentState& doc, const FootnoteMarker& marker, TextSink& out) {
  std::string_view text =
      std::string_view(doc.FootnoteText(marker.symbol)).substr(0, marker.length);
  auto write = [&out](std::string_view piece) {
    if (!piece.empty()) out.Write(piece);
  };
  if (marker.flags & kNumbered) {
    const std::size_t at = NumberPosition(text);
    write(text.substr(0, at));
    write(kAutoNumber);
    write(" ");
    text.remove_prefix(at);
  }
  if (marker.flags & kPageNumber) {
    const std::size_t at = FindCommand(text, '@');
    write(text.substr(0, at));
    write(PageNumberField(doc));
    text.remove_prefix(at + 2);
  }
  // The note closes its last paragraph itself, as where the text is put into the line.
  if (text.ends_with(kParagraphEnd)) {
    write(text.substr(0, text.size() - kParagraphEnd.size()));
    write("}");
  } else {
    write(text);
  }
}

}  // namespace

std::string FootnoteMark(Reporter& report, char symbol) {
  switch (symbol) {
    case '!':  // low asterisk
      return TranslateSymbolChar(report, '1');
    case '"':  // dagger
      return TranslateSymbolChar(report, '2');
    case '#':  // double dagger
      return TranslateSymbolChar(report, '3');
    case '$':  // pilcrow
      return TranslateSymbolChar(report, 'P');
    case '%':  // section sign
      return TranslateSymbolChar(report, 'S');
    default:
      break;
  }
  if (symbol >= '&' && symbol <= '/') return std::string(1, static_cast<char>(symbol + 60));
  return std::string(1, symbol);  // the digits
}

void ConvertFootnoteRefs(DocumentState& doc, std::string& line, FootnoteInsertion insertion) {
  if (FindBackslashAnd(line, 'F') == kNoIndex) return;
  std::string out;
  out.reserve(line.size());
  std::bitset<25> active;
  AppendWithFootnotes(doc, line, active, out, insertion == FootnoteInsertion::WhenWritten);
  line = std::move(out);
}

namespace {

// The index of the next footnote marker's Ctrl-Z at or after from; kNoIndex when there is none.
// It is looked for with memchr itself.
std::size_t NextMarker(std::string_view text, std::size_t from) {
  const void* found = std::memchr(text.data() + from, kMarker, text.size() - from);
  return found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) : kNoIndex;
}

// WriteWithFootnotes for a text whose first marker's Ctrl-Z stands at text[at].
void WriteWithMarkers(const DocumentState& doc, std::string_view text, std::size_t at,
                      TextSink& out) {
  std::size_t from = 0;  // text[from..] is still to be written
  for (; at != kNoIndex; at = NextMarker(text, from)) {
    const FootnoteMarker marker = ReadMarker(text, at);
    out.Write(text.substr(from, at - 1 - from));
    WriteFootnoteText(doc, marker, out);
    from = marker.end;
  }
  out.Write(text.substr(from));
}

}  // namespace

void WriteWithFootnotes(const DocumentState& doc, std::string_view text, TextSink& out) {
  // Most lines hold no marker: they are written at once.
  const std::size_t at = NextMarker(text, 0);
  if (at == kNoIndex) {
    out.Write(text);
  } else {
    WriteWithMarkers(doc, text, at, out);
  }
}

void ScriptGroups::Follow(std::string_view text) {
  // Only braces and commands matter: the search goes from one to the next.
  const std::size_t n = text.size();
  for (std::size_t i = NextBrace<true>(text, 0); i < n; i = NextBrace<true>(text, i)) {
    const char c = text[i];
    if (c == '{') {
      const Frame outer = frames_.back();
      frames_.push_back(outer);
      ++i;
    } else if (c == '}') {
      if (frames_.size() > 1) frames_.pop_back();
      ++i;
    } else if (i + 1 == n) {
      break;  // a lone backslash
    } else if (text.substr(i + 1, 2) == "fs" && i + 3 < n && IsDigit(text[i + 3])) {
      // "\fs" and its number; any other command is passed whole.
      int halfPoints = 0;
      for (i += 3; i < n && IsDigit(text[i]) && halfPoints < 100000; ++i)
        halfPoints = halfPoints * 10 + (text[i] - '0');
      frames_.back().halfPoints = halfPoints;
    } else {
      i += 2;
    }
  }
}

void ScriptGroups::Append(std::string& out, char marker) {
  if (marker == ':') {  // the run closes
    out += '}';
    if (frames_.size() > 1) frames_.pop_back();
    return;
  }
  // A raised run ('>') or a lowered one ('<'). Inside a run of the same direction it is set a
  // third larger than the text around it: readers place a script by its own size, so it then
  // stands further out than the run that holds it.
  Frame run = frames_.back();
  const bool nested = run.direction == marker;
  run.direction = marker;
  out += marker == '>' ? std::string_view("{\\super") : std::string_view("{\\sub");
  if (nested) {
    // Not beyond the largest size word readers take (1638 pt): a run nested a hundred deep
    // would otherwise overflow, and stands at that size from there on.
    constexpr int kLargestHalfPoints = 3276;
    run.halfPoints = std::min(run.halfPoints, kLargestHalfPoints) * 4 / 3;
    run.halfPoints = std::min(run.halfPoints, kLargestHalfPoints);
    out += "\\fs";
    out += std::to_string(run.halfPoints);
  }
  out += ' ';
  frames_.push_back(run);
}

void ConvertScriptMarkers(std::string& line, int halfPoints) {
  static constexpr CharSet kScriptMarkers{"<>:"};
  std::size_t at = FindCommand(line, kScriptMarkers);
  if (at == kNoIndex) return;
  std::string out;
  out.reserve(line.size() + 16);
  ScriptGroups groups(halfPoints);
  std::size_t from = 0;  // line[from..at) goes as it is
  while (at != kNoIndex) {
    const std::string_view text = std::string_view(line).substr(from, at - from);
    out += text;
    groups.Follow(text);
    groups.Append(out, line[at + 1]);
    from = at + 2;
    at = FindCommand(line, kScriptMarkers, from);
  }
  out.append(line, from);
  line = std::move(out);
}

bool MarkPageNumber(DocumentState& doc, std::string& text, std::size_t at) {
  const FootnoteMarker marker = ReadMarker(text, at);
  const std::size_t pageNumber = FactsOf(doc, marker.symbol).pageNumber;
  if (pageNumber == kNoIndex || pageNumber + 2 > marker.length) return false;
  text[at + 2] = static_cast<char>(text[at + 2] + kPageNumber);
  return true;
}

void ConvertPageNumber(DocumentState& doc, std::string& line) {
  const std::size_t i = FindCommand(line, '@');
  // A footnote text written in place of a marker before that one holds the first command when
  // it has one.
  for (std::size_t at = line.find(kMarker); at != kNoIndex && (i == kNoIndex || at < i);
       at = line.find(kMarker, at + 1)) {
    if (MarkPageNumber(doc, line, at)) return;
  }
  if (i == kNoIndex) return;
  line.replace(i, 2, PageNumberField(doc));
}

void RemoveSpaceEscapes(std::string& line) {
  // Commands pair from the start, so a literal backslash ("\\") before a space stays two
  // characters and the space after it is a plain one. The line is compacted in place: each
  // hard space loses its backslash.
  std::size_t kept = 0;  // line[..kept) is what stays of the part looked at
  std::size_t from = 0;  // line[from..) is not yet looked at
  for (CommandWalk command(line); command.Next();) {
    if (command.Char() != ' ') continue;
    if (kept != from) std::memmove(line.data() + kept, line.data() + from, command.At() - from);
    kept += command.At() - from;
    from = command.At() + 1;  // the space stays
  }
  if (from == 0) return;
  std::memmove(line.data() + kept, line.data() + from, line.size() - from);
  line.resize(kept + line.size() - from);
}

}  // namespace pomvex
