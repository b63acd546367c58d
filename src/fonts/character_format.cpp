// Replaces the font switches of a line by RTF face, style and size words and has the text of
// the special fonts translated. The format in force in the output is carried from line to line;
// around script runs the format to compare with is the one in force where the run opened.
#include "fonts/character_format.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/text_util.h"
#include "charmaps/special_chars.h"
#include "fonts/font_switches.h"

namespace pomvex {

namespace {

struct Format {
  int face;
  int style;
  int size;
  bool operator==(const Format&) const = default;
};

// Indexed by FontKind, NONE included.
constexpr std::array<Format, 15> kKindFormats = {{
    {0, 0, 1},  // STANDARD
    {0, 0, 2},  // SMALL
    {0, 2, 1},  // ITALIC
    {0, 1, 1},  // BOLD
    {0, 0, 1},  // FOREIGN
    {0, 0, 1},  // SYMBOL
    {0, 0, 1},  // GREEK
    {1, 0, 1},  // SCRIPT
    {0, 0, 1},  // LINEDRAW
    {0, 0, 1},  // MATHI
    {0, 0, 1},  // MATHII
    {0, 3, 1},  // UNDERLIN
    {0, 0, 0},  // ORATOR
    {2, 0, 1},  // GOTHIC
    {0, 0, 1},  // NONE
}};

// Faces: font 0 (Times New Roman), font 7 (Palace Script MT), font 8 (Old English Text MT) of
// the prolog's font table, each with the size it is written at.
constexpr std::array<std::string_view, 3> kFaceWords = {"\\f0\\fs24", "\\f7\\fs48", "\\f8\\fs24"};
// Styles: plain, bold, italic, underline by words.
constexpr std::array<std::string_view, 4> kStyleOn = {"", "\\b", "\\i", "\\ulw"};
constexpr std::array<std::string_view, 4> kStyleOff = {"", "\\b0", "\\i0", "\\ulnone"};
constexpr std::array<int, 3> kHalfPoints = {32, 24, 18};

template <typename T, std::size_t N>
bool IsIndex(const std::array<T, N>&, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < N;
}

template <typename T, std::size_t N>
const T& At(const std::array<T, N>& table, int i) {
  if (!IsIndex(table, i)) throw ConversionAbandoned(kRangeCheckError);
  return table[static_cast<std::size_t>(i)];
}

Format CurrentFormat(const DocumentState& doc) {
  return {doc.CurFace, doc.CurStyle, doc.CurSize};
}

void SetCurrentFormat(DocumentState& doc, Format f) {
  doc.CurFace = f.face;
  doc.CurStyle = f.style;
  doc.CurSize = f.size;
}

// Appends the words that change the output from old to now (FaceCodes, StyleCodes and
// SizeCodes), with the blank that ends the last word.
void AppendCodesBetween(std::string& out, Format old, Format now) {
  const std::size_t before = out.size();
  if (old.face != now.face) out += At(kFaceWords, now.face);
  if (old.style != now.style) {
    if (IsIndex(kStyleOff, old.style)) out += kStyleOff[static_cast<std::size_t>(old.style)];
    out += At(kStyleOn, now.style);
  }
  if (old.size != now.size) {
    out += "\\fs";
    out += std::to_string(HalfPointsOf(now.size));
  }
  if (out.size() != before) out += ' ';
}

enum class ScriptEvent { kNone, kOpens, kStops };

// What the two characters at pos mean to a script run about to open: "\>" and "\<" open one;
// "\:" (the end of one) and a font switch come in between. The markers are commands, which
// begin only where a command may (startsCommand); a font switch is looked for at every
// backslash, also the second of a literal one ("\\").
ScriptEvent ScriptEventAt(const FontSlotTable& slots, std::string_view line, int pos,
                          bool startsCommand) {
  if (pos < 1 || pos + 1 > Length(line) || line[pos - 1] != '\\') return ScriptEvent::kNone;
  const char c = line[pos];
  if (startsCommand && (c == '>' || c == '<')) return ScriptEvent::kOpens;
  if ((startsCommand && c == ':') || IsFontSwitch(slots, c)) return ScriptEvent::kStops;
  return ScriptEvent::kNone;
}

// Whether a command may begin at the position after pos, given whether one may at pos:
// commands pair from the start of the line, a backslash taking the character after it.
bool NextStartsCommand(std::string_view line, int pos, bool startsCommand) {
  return !(startsCommand && line[pos - 1] == '\\');
}

// ScriptOpensAhead for every position 1 to length + 1 at once, scanning backwards. Empty, for
// all false, when the line holds no "\>" or "\<".
std::vector<bool> ScriptOpenings(const FontSlotTable& slots, std::string_view line) {
  if (!HasCommand(line, '>') && !HasCommand(line, '<')) return {};
  const int n = Length(line);
  std::vector<bool> startsCommand(static_cast<std::size_t>(n) + 1, false);
  for (int pos = 1, starts = true; pos <= n; ++pos) {
    startsCommand[pos] = starts;
    starts = NextStartsCommand(line, pos, starts);
  }
  std::vector<bool> opens(static_cast<std::size_t>(n) + 2, false);
  for (int pos = n; pos >= 1; --pos) {
    switch (ScriptEventAt(slots, line, pos, startsCommand[pos])) {
      case ScriptEvent::kOpens:
        opens[pos] = true;
        break;
      case ScriptEvent::kStops:
        opens[pos] = false;
        break;
      case ScriptEvent::kNone:
        opens[pos] = opens[pos + 1];
        break;
    }
  }
  return opens;
}

}  // namespace

int FaceOf(FontKind kind) {
  return At(kKindFormats, kind).face;
}
int StyleOf(FontKind kind) {
  return At(kKindFormats, kind).style;
}
int SizeOf(FontKind kind) {
  return At(kKindFormats, kind).size;
}
int HalfPointsOf(int size) {
  return At(kHalfPoints, size);
}

std::string FaceCodes(int oldFace, int newFace) {
  if (oldFace == newFace) return {};
  return std::string(At(kFaceWords, newFace));
}

std::string StyleCodes(int oldStyle, int newStyle) {
  if (oldStyle == newStyle) return {};
  std::string codes;
  if (IsIndex(kStyleOff, oldStyle)) codes = kStyleOff[static_cast<std::size_t>(oldStyle)];
  codes += At(kStyleOn, newStyle);
  return codes;
}

std::string SizeCodes(int oldSize, int newSize) {
  if (oldSize == newSize) return {};
  return "\\fs" + std::to_string(HalfPointsOf(newSize));
}

bool ScriptOpensAhead(const FontSlotTable& slots, int pos, std::string_view line) {
  int p = std::max(pos, 1);
  // A command may begin at p unless p holds the character of one that begins before it.
  const std::string_view before =
      line.substr(0, static_cast<std::size_t>(std::min(p - 1, Length(line))));
  bool starts = !EndsInLoneBackslash(before);
  for (; p < Length(line); ++p) {
    const ScriptEvent event = ScriptEventAt(slots, line, p, starts);
    if (event != ScriptEvent::kNone) return event == ScriptEvent::kOpens;
    starts = NextStartsCommand(line, p, starts);
  }
  return false;
}

bool FollowsScriptEnd(int pos, std::string_view line) {
  // The backslash must begin a command: after a literal backslash ("\\:") it is text.
  return pos >= 3 && pos - 1 <= Length(line) && line[pos - 3] == '\\' && line[pos - 2] == ':' &&
         EndsInLoneBackslash(line.substr(0, static_cast<std::size_t>(pos - 2)));
}

void ConvertFontSwitches(DocumentState& doc, std::string& line, bool startsParagraph) {
  const FontSlotTable& slots = doc.FontSlots;
  // A new paragraph starts in the document's default format, that of STANDARD.
  if (startsParagraph) SetCurrentFormat(doc, kKindFormats[STANDARD]);
  int next = NextFontSwitch(slots, 0, line);
  if (next == 0) {
    // No switch: the line is in no font and stays as it is, but for the commands shown as text.
    if (doc.LineMayShowCommands && HasCommand(line, TextShownCommands)) {
      std::string out;
      AppendFontRun(doc, out, line, NONE);
      line = std::move(out);
    }
    return;
  }

  // The format where the next script run opens: the output returns to it when the run's group
  // closes, so a switch right after "\:" is compared with it.
  Format baseline = CurrentFormat(doc);
  // Text before the first switch is written in that switch's font.
  FontKind kind = slots[line[static_cast<std::size_t>(next)]];
  const std::vector<bool> scriptOpens = ScriptOpenings(slots, line);
  const std::string_view source = line;
  const int n = Length(source);

  // The changed line is built in out; source from runStart on is still to be converted.
  std::string out;
  out.reserve(line.size() + line.size() / 2);
  int runStart = 1;
  while (true) {
    const int end = next == 0 ? n : next - 1;
    const std::size_t runBegin = out.size();
    AppendFontRun(doc, out,
                  source.substr(static_cast<std::size_t>(runStart - 1),
                                static_cast<std::size_t>(end - runStart + 1)),
                  kind);
    if (next == 0) break;
    // A switch found at the second backslash of a literal one ("\\" and a slot character)
    // leaves the first backslash alone in front of the codes. It is written as the literal
    // backslash it stood for, so that it cannot pair with what follows. (What came before the
    // run ends in a whole command, so the run alone tells.)
    if (EndsInLoneBackslash(std::string_view(out).substr(runBegin))) out += '\\';

    // The switch group: switches that follow each other without a gap become one change.
    Format now = CurrentFormat(doc);
    int last = next;
    while (true) {
      kind = slots[source[static_cast<std::size_t>(last)]];
      now.face = FaceOf(kind);
      if (!InheritingFonts.Contains(kind)) {
        now.style = StyleOf(kind);
        now.size = SizeOf(kind);
      }
      const bool adjacent = last + 3 <= n && source[static_cast<std::size_t>(last + 1)] == '\\' &&
                            IsFontSwitch(slots, source[static_cast<std::size_t>(last + 2)]);
      if (!adjacent) break;
      last += 2;
    }

    // The format to change from is chosen before the baseline moves to this group.
    const Format old = FollowsScriptEnd(Length(out) + 1, out) ? baseline : CurrentFormat(doc);
    if (!scriptOpens.empty() && scriptOpens[static_cast<std::size_t>(last + 2)]) baseline = now;
    AppendCodesBetween(out, old, now);
    SetCurrentFormat(doc, now);

    runStart = last + 2;
    next = NextFontSwitch(slots, runStart - 1, source);
  }
  line = std::move(out);
}

}  // namespace pomvex
