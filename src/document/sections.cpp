#include "document/sections.h"

#include <vector>

#include "base/commands.h"
#include "conversion/line_assembly.h"
#include "document/header_reader.h"

namespace pomvex {

namespace {

constexpr const char* kEol = "\r\n";

struct SectionWord {
  std::string_view marker;
  std::string_view word;
};
constexpr SectionWord kSectionWords[] = {
    {"\\HD", "\\header "}, {"\\HE", "\\headerl "}, {"\\H1", "\\headerf "},
    {"\\FD", "\\footer "}, {"\\FE", "\\footerl "}, {"\\F1", "\\footerf "},
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsFootnoteSymbol(char c) {
  return c >= '!' && c <= '9';
}

// Converts the line groups of one section up to the group that carries "\=" or the end of the
// input, handing each group's text to take. A paragraph left open is closed, and a page break
// that waits for a paragraph is written at the end. Gives whether the last group read the next
// line ahead (it waits in slot 0).
template <typename Take>
bool ConvertSectionGroups(DocumentState& doc, TextInput& in, LineGroup& group, Take take) {
  GroupFlow flow;
  std::string text;
  while (!flow.equalsSeen) {
    if (in.AtEnd() && !flow.linePending) break;
    flow.fontCarry = STANDARD;  // every group of a section starts in the standard font
    ConvertLineGroup(doc, in, group, text, flow);
    take(text, true);
  }
  if (!flow.paragraphEnded) take("\\par}", false);
  if (flow.pageBreakPending) take("\\page", false);  // no paragraph follows it
  return flow.linePending;
}

}  // namespace

bool IsSectionMarker(Reporter& report, std::string_view marker) {
  for (const SectionWord& s : kSectionWords) {
    if (marker == s.marker) return true;
  }
  if (marker.substr(0, 2) == "\\S") return true;
  // Headers and footers for one particular page have no RTF equivalent. Only a marker line
  // (one that begins with a backslash) is taken for one, so body text is never swallowed.
  if (marker.size() == 3 && marker[0] == kBackslash && (marker[1] == 'H' || marker[1] == 'F') &&
      IsDigit(marker[2])) {
    report.ReportError(Category::UnprocessedHeaderFooter,
                       std::string(marker[1] == 'H' ? "Unprocessed header for page "
                                                    : "Unprocessed footer for page ") +
                           marker[2]);
    return true;
  }
  return false;
}

bool IsFootnoteMarker(std::string_view marker) {
  // A literal backslash followed by N ("\\NOTES") is text: it opens no footnote section, which
  // would take every line up to the next equals line.
  return HasCommand(marker, 'N');
}

std::string SectionDestination(std::string_view marker) {
  for (const SectionWord& s : kSectionWords) {
    if (marker == s.marker) return std::string(s.word);
  }
  if (marker.size() >= 3 && marker[1] == 'H') return std::string("\\header") + marker[2] + " ";
  if (marker.size() >= 3 && marker[1] == 'F') return std::string("\\footer") + marker[2] + " ";
  return "\\*\\ftnsep ";
}

namespace {

// A header or footer for all pages as written: where its group ends in the sections' text, and
// the text inside the group.
struct AllPagesSection {
  std::size_t end;
  std::string text;
  bool header;
};

// What the sections held besides their text.
struct SectionsMet {
  std::vector<AllPagesSection> allPages;
  bool leftHeader = false;  // a "\HE" section
  bool leftFooter = false;  // a "\FE" section
};

// With facing pages the all-pages header and footer are the right pages' only: one without a
// left-page section of its own is given to the left pages as well, right after it.
void CopyToLeftPages(const SectionsMet& met, std::string& out) {
  for (auto s = met.allPages.rbegin(); s != met.allPages.rend(); ++s) {
    if (s->header ? met.leftHeader : met.leftFooter) continue;
    out.insert(s->end, (s->header ? "{\\headerl " : "{\\footerl ") + s->text + "}");
  }
}

// The sections from line on; gives whether slot 0 of the group holds the first body line.
bool ConvertSections(DocumentState& doc, TextInput& in, LineGroup& group, std::string line,
                     std::string& out, SectionsMet& met) {
  for (;;) {
    const std::string marker = line.substr(0, 3);
    bool readAhead = false;
    if (doc.report.Locating()) doc.report.AtLine(in.LinesRead());
    if (IsSectionMarker(doc.report, marker)) {
      met.leftHeader = met.leftHeader || marker == "\\HE";
      met.leftFooter = met.leftFooter || marker == "\\FE";
      if (met.leftHeader || met.leftFooter) doc.HasLeftPageSection = true;
      // Readers draw their own footnote separator and ignore the document's text for it: the
      // section gives the separator character, its text is read and left out.
      const bool separator = marker.starts_with("\\S");
      std::string discarded;
      std::string& text = separator ? discarded : out;
      out += "{";
      out += SectionDestination(marker);
      const std::size_t begin = out.size();
      doc.InPageSection = true;
      doc.SectionMarker = marker;
      readAhead = ConvertSectionGroups(doc, in, group, [&](std::string_view t, bool isLine) {
        text += t;
        if (isLine) text += kEol;
      });
      doc.InPageSection = false;
      doc.SectionMarker.clear();
      if (separator) out += "\\chftnsep";
      out += "}";
      if (marker == "\\HD" || marker == "\\FD") {
        met.allPages.push_back(
            {out.size(), out.substr(begin, out.size() - 1 - begin), marker == "\\HD"});
      }
    } else if (IsFootnoteMarker(marker)) {
      const char symbol = marker.size() >= 3 ? marker[2] : ' ';
      std::string discarded;
      std::string* target = &discarded;
      if (IsFootnoteSymbol(symbol)) {
        target = &doc.FootnoteText(symbol);
      } else {
        doc.report.ReportError(
            Category::FootnoteProblem,
            std::string("Unexpected footnote symbol ") + symbol + ". Failed to insert footnote");
      }
      doc.InFootnoteText = true;
      doc.SectionMarker = marker;
      readAhead =
          ConvertSectionGroups(doc, in, group, [&](std::string_view t, bool) { *target += t; });
      doc.InFootnoteText = false;
      doc.SectionMarker.clear();
    } else {
      group.Lines[0] = std::move(line);  // the first body line
      group.aheadHoldsFormFeed.reset();
      return true;
    }
    // The line after a section is always examined, also when it is the input's last line.
    if (readAhead) {
      line = std::move(group.Lines[0]);
    } else if (in.AtEnd()) {
      return false;
    } else {
      in.ReadLine(line);
    }
  }
}

}  // namespace

void ConvertHeaderFooterSections(DocumentState& doc, TextInput& in, LineGroup& group,
                                 std::string line, std::string& out, bool& linePending) {
  linePending = false;
  while (line.empty() && !in.AtEnd()) in.ReadLine(line);
  // Only at the end of the input is the document empty: an empty line, or a header line that
  // the header reader handed back as the last one read. Before the end, the line is a section
  // marker or the first body line, whatever it holds.
  if (in.AtEnd() && (line.empty() || IsHeaderLine(line))) {
    if (doc.report.Locating()) doc.report.AtLine(0);  // no line of the document is concerned
    doc.report.ReportWarning("Empty file");
    return;
  }
  SectionsMet met;
  linePending = ConvertSections(doc, in, group, std::move(line), out, met);
  if (doc.HasLeftPageSection) CopyToLeftPages(met, out);
}

}  // namespace pomvex
