// Replaces the font switches of a line by RTF face, style and size words and has the text of
// the special fonts translated. The format in force in the output is carried from line to line;
// around script runs the format to compare with is the one in force where the run opened.
#include "fonts/character_format.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "base/commands.h"
#include "charmaps/special_chars.h"
#include "fonts/anchoring.h"
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

// The size words, "\\fs" and the half-points of each size.
constexpr std::array<std::string_view, 3> kSizeWords = {"\\fs32", "\\fs24", "\\fs18"};

// The words that change the output from one valid format to another, with the blank that ends
// the last word (none when the two are the same), for every pair: worked out when the program
// is built.
struct CodeText {
  std::uint8_t length = 0;
  char text[31] = {};
};
constexpr int kFormats = 3 * 4 * 3;  // faces, styles, sizes
constexpr bool IsValid(Format f) {
  return f.face >= 0 && f.face < 3 && f.style >= 0 && f.style < 4 && f.size >= 0 && f.size < 3;
}
constexpr int IndexOf(Format f) {
  return (f.face * 4 + f.style) * 3 + f.size;
}
constexpr std::array<CodeText, kFormats * kFormats> CodeTexts() {
  std::array<CodeText, kFormats * kFormats> texts{};
  for (int from = 0; from < kFormats; ++from) {
    for (int to = 0; to < kFormats; ++to) {
      const Format old{from / 12, from / 3 % 4, from % 3};
      const Format now{to / 12, to / 3 % 4, to % 3};
      CodeText& t = texts[static_cast<std::size_t>(from * kFormats + to)];
      auto put = [&t](std::string_view word) {
        for (const char c : word) t.text[t.length++] = c;
      };
      if (old.face != now.face) put(kFaceWords[static_cast<std::size_t>(now.face)]);
      if (old.style != now.style) {
        put(kStyleOff[static_cast<std::size_t>(old.style)]);
        put(kStyleOn[static_cast<std::size_t>(now.style)]);
      }
      if (old.size != now.size) put(kSizeWords[static_cast<std::size_t>(now.size)]);
      if (t.length != 0) put(" ");
    }
  }
  return texts;
}
constexpr auto kCodeTexts = CodeTexts();

// A valid format by its place in kCodeTexts (IndexOf), as the font step follows formats.
using FormatIndex = int;
constexpr Format FormatAt(FormatIndex i) {
  return {i / 12, i / 3 % 4, i % 3};
}
constexpr std::array<FormatIndex, kKindFormats.size()> KindIndexes() {
  std::array<FormatIndex, kKindFormats.size()> indexes{};
  for (std::size_t k = 0; k < indexes.size(); ++k) indexes[k] = IndexOf(kKindFormats[k]);
  return indexes;
}
constexpr auto kKindIndexes = KindIndexes();
// The format a switch of each kind changes each format to: an inheriting font takes only its
// face, style and size kept; any other font its whole format.
constexpr auto SwitchedFormats() {
  std::array<std::array<std::uint8_t, kFormats>, kKindFormats.size()> to{};
  for (std::size_t k = 0; k < to.size(); ++k) {
    for (FormatIndex f = 0; f < kFormats; ++f) {
      const FormatIndex kindFormat = kKindIndexes[k];
      const bool inheriting = InheritingFonts.Contains(static_cast<FontKind>(k));
      to[k][static_cast<std::size_t>(f)] =
          static_cast<std::uint8_t>(inheriting ? kindFormat / 12 * 12 + f % 12 : kindFormat);
    }
  }
  return to;
}
constexpr auto kSwitchedFormats = SwitchedFormats();

// Appends the words that change the output from old to now (FaceCodes, StyleCodes and
// SizeCodes), with the blank that ends the last word.
void AppendCodesBetween(std::string& out, FormatIndex old, FormatIndex now) {
  if (old == now) return;
  const CodeText& codes = kCodeTexts[static_cast<std::size_t>(old * kFormats + now)];
  out.append(codes.text, codes.length);
}

// Whether a script run opens ahead of a point of the line before anything else intervenes: a
// "\>" or "\<" comes before the next "\:" (markers are commands, paired from the start) and
// before the next font switch (looked for at every backslash). Points are asked about in
// ascending order, each a boundary, so the search for markers only moves forward.
class ScriptOpenings {
 public:
  // opening: the line may hold an opening marker ("\\>" or "\\<").
  ScriptOpenings(std::string_view line, bool opening)
      : line_(line), marker_(opening ? 0 : kNoIndex) {}
  // Whether a run opens from the boundary from on; nextSwitch is the first switch from there.
  bool OpensAhead(std::size_t from, std::size_t nextSwitch) {
    static constexpr CharSet kScriptMarkers{"<>:"};
    if (marker_ == kNoIndex) return false;  // none is left
    // A line without the characters of the opening markers has none (most lines).
    if (marker_ == 0 && line_.find('>') == kNoIndex && line_.find('<') == kNoIndex) {
      marker_ = kNoIndex;
      return false;
    }
    if (marker_ < from) marker_ = FindCommand(line_, kScriptMarkers, from);
    return marker_ != kNoIndex && line_[marker_ + 1] != ':' &&
           (nextSwitch == kNoIndex || marker_ < nextSwitch);
  }

 private:
  std::string_view line_;
  std::size_t marker_ = 0;  // the first marker at or after the last point asked about
};

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

namespace {

// The text fonts step 3 puts in front of the switches of a line, asked about switch by switch
// in the order of the line, each switch with its kind: InheritingAnchors asks about the switches
// after the line's first character, each with the kind of the switch before it.
class SwitchAnchors {
 public:
  // first: the kind of the line's first switch; anchoring false: none is ever put in.
  SwitchAnchors(const FontSlotTable& slots, std::string_view line, FontKind first, bool anchoring)
      : slots_(slots), line_(line), first_(first), previous_(first), anchoring_(anchoring) {}

  // The text font put in front of the switch at q, of kind kind; NONE for none.
  FontKind Of(std::size_t q, FontKind kind) {
    const FontKind previous = previous_;
    previous_ = kind;
    if (!anchoring_ || q == 0 || !InheritingFonts.Contains(kind)) return NONE;
    if (!anchors_) anchors_.emplace(slots_, line_, first_);
    return anchors_->At(q, previous);
  }

 private:
  const FontSlotTable& slots_;
  std::string_view line_;
  FontKind first_;
  FontKind previous_;
  bool anchoring_;
  std::optional<InheritingAnchors> anchors_;
};

// A group of switches that follow each other without a gap: they become one change.
struct SwitchGroup {
  FormatIndex format;  // the format the group changes to
  FontKind kind;       // the kind of its last switch, the font of the text after it
  std::size_t end;     // the index after its last switch
};

// The group whose first switch is at first, with the text font anchor put in front of it
// (NONE for none), changing from the format current. A text font put in front of a switch sets
// the style and size that switch keeps.
SwitchGroup TakeSwitchGroup(const FontSlotTable& slots, std::string_view source, std::size_t first,
                            FontKind anchor, SwitchAnchors& anchors, FormatIndex current) {
  FormatIndex now = current;
  std::size_t last = first;
  FontKind kind;
  while (true) {
    kind = SwitchKindAt(slots, source, last);
    if (last != first) anchor = anchors.Of(last, kind);
    if (anchor != NONE) now = kKindIndexes[anchor];
    now = kSwitchedFormats[kind][static_cast<std::size_t>(now)];
    if (!IsFontSwitchAt(slots, source, last + 2)) break;
    last += 2;
  }
  return {now, kind, last + 2};
}

// Appends source[from..to), text in the font kind. plainRuns: text in no special font is
// copied.
void AppendRun(DocumentState& doc, std::string& out, std::string_view source, std::size_t from,
               std::size_t to, FontKind kind, bool plainRuns) {
  if (plainRuns && !SpecialFonts.Contains(kind)) {
    out.append(source.data() + from, to - from);  // as AppendFontRun leaves it
  } else {
    AppendFontRun(doc, out, source.substr(from, to - from), kind);
  }
}

// A line without a switch is in no font and stays as it is, but for the commands shown as text.
void ShowCommandsAsText(DocumentState& doc, std::string& line) {
  if (!doc.LineMayShowCommands || !HasCommand(line, CommandsShownAsText(doc))) return;
  std::string& out = doc.Spare;
  out.clear();
  AppendFontRun(doc, out, line, NONE);
  line = std::move(out);
}

// Step 4, and with anchoring step 3 in the same pass: each switch to an inheriting font is
// taken with the switch to the text font that step 3 would put in front of it (SwitchAnchors
// asked about it as the pass comes to it), as step 4 would take the two as one group.
void ConvertSwitches(DocumentState& doc, std::string& line, bool startsParagraph, bool anchoring) {
  const FontSlotTable& slots = doc.FontSlots;
  // A new paragraph starts in the document's default format, that of STANDARD.
  if (startsParagraph) SetCurrentFormat(doc, kKindFormats[STANDARD]);
  const std::string_view source = line;
  std::size_t next = NextFontSwitch(slots, source, 0);
  if (next == kNoIndex) {
    ShowCommandsAsText(doc, line);
    return;
  }
  // The changed line is built in the spare buffer, which then takes the line's old buffer.
  std::string& out = doc.Spare;
  out.clear();

  const FontKind first = SwitchKindAt(slots, source, next);
  SwitchAnchors anchors(slots, source, first, anchoring);
  FontKind anchor = anchors.Of(next, first);  // that of the switch at next
  // Text before the first switch is written in that switch's font (one put in front of it).
  FontKind kind = anchor != NONE ? anchor : first;

  // The format in force, followed here and stored when the line is done (the font step alone
  // sets it, always to a valid one). The format where the next script run opens: the output
  // returns to it when the run's group closes, so a switch right after "\:" is compared with it.
  const Format entry = CurrentFormat(doc);
  if (!IsValid(entry)) throw ConversionAbandoned(kRangeCheckError);
  FormatIndex current = IndexOf(entry);
  FormatIndex baseline = current;
  ScriptOpenings scriptOpenings(line, doc.LineMayOpenScriptRuns);
  const bool plainRuns = !doc.LineMayShowCommands;
  out.reserve(source.size() + source.size() / 2);
  std::size_t runStart = 0;  // source from here on is still to be converted
  while (true) {
    const std::size_t runBegin = out.size();
    AppendRun(doc, out, source, runStart, std::min(next, source.size()), kind, plainRuns);
    if (next == kNoIndex) break;
    // A switch found at the second backslash of a literal one ("\\" and a slot character)
    // leaves the first backslash alone in front of the codes. It is written as the literal
    // backslash it stood for, so that it cannot pair with what follows. (What came before the
    // run ends in a whole command, so the run alone tells.)
    if (out.size() > runBegin && out.back() == kBackslash &&
        EndsInLoneBackslash(std::string_view(out).substr(runBegin))) {
      out += kBackslash;
    }
    const SwitchGroup group = TakeSwitchGroup(slots, source, next, anchor, anchors, current);
    kind = group.kind;
    // The format to change from is chosen before the baseline moves to this group.
    const FormatIndex old = FollowsScriptEnd(out) ? baseline : current;
    runStart = group.end;
    next = NextFontSwitch(slots, source, runStart);
    if (next != kNoIndex) anchor = anchors.Of(next, SwitchKindAt(slots, source, next));
    if (scriptOpenings.OpensAhead(runStart, next)) baseline = group.format;
    AppendCodesBetween(out, old, group.format);
    current = group.format;
  }
  SetCurrentFormat(doc, FormatAt(current));
  line = std::move(out);
}

}  // namespace

void ConvertFontSwitches(DocumentState& doc, std::string& line, bool startsParagraph) {
  ConvertSwitches(doc, line, startsParagraph, /*anchoring=*/false);
}

void AnchorAndConvertFontSwitches(DocumentState& doc, std::string& line, bool startsParagraph) {
  ConvertSwitches(doc, line, startsParagraph, /*anchoring=*/true);
}

}  // namespace pomvex
