#include "document/header_reader.h"

#include <utility>

#include "base/char_sets.h"
#include "base/commands.h"
#include "base/text_util.h"
#include "fonts/character_format.h"

namespace pomvex {

namespace {

// Family names in the order they are looked for: a name that contains another comes first.
constexpr std::pair<std::string_view, FontKind> kFamilyNames[] = {
    {"STANDARD", STANDARD}, {"SMALL", SMALL},       {"ITALIC", ITALIC}, {"BOLD", BOLD},
    {"FOREIGN", FOREIGN},   {"SYMBOL", SYMBOL},     {"GREEK", GREEK},   {"LINEDRAW", LINEDRAW},
    {"MATHII", MATHII},     {"MATHI", MATHI},       {"ORATOR", ORATOR}, {"SCRIPT", SCRIPT},
    {"GOTHIC", GOTHIC},     {"UNDERLIN", UNDERLIN},
};

// The ninth character of the line sets a character setting; a shorter line keeps the value.
void TakeNinthChar(std::string_view line, char& setting) {
  if (line.size() >= 9) setting = line[8];
}

}  // namespace

void ClearFontSlots(DocumentState& doc) {
  doc.FontSlots.Clear();
  for (std::string& text : doc.FootnoteTexts) text.clear();
}

void ResetDocumentState(DocumentState& doc) {
  DocumentSettings& s = doc.Settings;
  for (int i = 1; i <= 60; ++i) s.DefaultTabs[i] = 5 * i;
  ClearFontSlots(doc);
  s.PL = 132;
  s.PF = '1';
  s.TF = '1';
  s.RM = 76;
  s.LM = 10;
  s.TM = 0;
  s.BM = 12;
  s.PI = 2;
  s.HS = 1;
  s.DS = 1;
  s.JU = true;
  s.EN = false;
  doc.CurStyle = StyleOf(STANDARD);
  doc.CurSize = SizeOf(STANDARD);
  doc.CurFace = FaceOf(STANDARD);
  doc.FootnoteFacts.fill({});
  doc.InFootnoteText = false;
  doc.InPageSection = false;
  doc.SectionMarker.clear();
  doc.NumberedFootnotes = 0;
  doc.FootnoteNumberingStopped = false;
  doc.HasLeftPageSection = false;
  doc.TabColumns.fill(0);
}

bool IsHeaderLine(std::string_view line) {
  return HasCommand(line, 'U') || HasCommand(line, 'p');
}

std::int32_t FirstNumber(std::string_view line) {
  std::int32_t value = 0;
  bool inDigits = false;
  for (char c : line) {
    if (c >= '0' && c <= '9') {
      inDigits = true;
      // The character code is added before 48 is taken off, so that intermediate value must
      // fit as well.
      value = CheckedAdd(CheckedMul(value, 10), static_cast<std::int32_t>(c)) - '0';
    } else if (inDigits) {
      break;
    }
  }
  return value;
}

void DeclareFont(DocumentState& doc, std::string_view line) {
  const char c = line.size() >= 3 ? line[2] : '\0';
  FontKind kind = NONE;
  if (line.size() >= 3 && SlotChars.Contains(c)) {
    for (const auto& [name, k] : kFamilyNames) {
      if (Contains(line, name)) {
        kind = k;
        break;
      }
    }
  }
  if (kind != NONE) {
    doc.FontSlots.Set(c, kind);
  } else if (line.size() == 3) {
    doc.report.ReportWarning("Incomplete font declaration: " + std::string(line));
  } else {
    doc.report.ReportError(Category::NewFontDeclaration,
                           "Found new font declaration: " + std::string(line));
  }
}

void ReadDefaultTabs(DocumentState& doc, std::string_view line) {
  int n = (static_cast<int>(line.size()) - 5) / 3;
  if (n < 0) n = 0;
  if (n > 60) {
    n = 60;
    doc.report.ReportWarning("Ignoring some default tabs");
  }
  auto digit = [&](int pos) {
    const auto c = static_cast<unsigned char>(line[pos - 1]);
    return c == ' ' ? 0 : c - 48;
  };
  for (int i = 1; i <= n; ++i) {
    doc.Settings.DefaultTabs[i] = 100 * digit(3 * i + 3) + 10 * digit(3 * i + 4) + digit(3 * i + 5);
  }
  for (int i = n + 1; i <= 60; ++i) doc.Settings.DefaultTabs[i] = 0;
}

void ApplyHeaderLine(DocumentState& doc, std::string_view line) {
  DocumentSettings& s = doc.Settings;
  auto has = [&](std::string_view key) { return Contains(line, key); };
  if (has("\\U")) DeclareFont(doc, line);
  if (has("\\pTA")) ReadDefaultTabs(doc, line);
  if (has("\\pHS")) s.HS = FirstNumber(line);
  if (has("\\pDS")) s.DS = FirstNumber(line);
  if (has("\\pJU")) s.JU = FirstNumber(line) == 1;
  if (has("\\pRM")) s.RM = FirstNumber(line);
  if (has("\\pLM")) s.LM = FirstNumber(line);
  if (has("\\pTM")) s.TM = FirstNumber(line);
  if (has("\\pBM")) s.BM = FirstNumber(line);
  if (has("\\pPL")) s.PL = FirstNumber(line);
  if (has("\\pPF")) TakeNinthChar(line, s.PF);
  if (has("\\pTF")) TakeNinthChar(line, s.TF);
  if (has("\\pEN")) s.EN = FirstNumber(line) == 1;
  if (has("\\pPI")) s.PI = FirstNumber(line);
}

bool CheckVersionLine(DocumentState& doc, TextInput& in) {
  // The line is not held: a file without line ends may be as long as the file itself.
  const bool isVersion3 = in.ScanFirstLine("\\1cw");
  if (doc.report.Locating()) doc.report.AtLine(in.LinesRead());
  if (!isVersion3) {
    doc.report.ReportError(Category::NotVersion3,
                           "Cannot translate file as it is not a version 3 ChiWriter file.");
  }
  return isVersion3;
}

bool ReadDocumentHeader(DocumentState& doc, TextInput& in, std::string& line) {
  line.clear();
  if (in.AtEnd()) {
    doc.report.ReportError(Category::UnexpectedEnd, "Unexpected end of File");
    return false;
  }
  const bool isDocument = CheckVersionLine(doc, in);
  if (!isDocument || in.AtEnd()) return isDocument;
  do {
    in.ReadLine(line);
    if (doc.report.Locating()) doc.report.AtLine(in.LinesRead());
    // The line that ends the header is no header line and changes nothing.
    if (IsHeaderLine(line)) ApplyHeaderLine(doc, line);
    if (in.AtEnd()) break;
  } while (IsHeaderLine(line));
  return true;
}

}  // namespace pomvex
