// Shared helpers for the tests: a reporter that records what it is told, and a document state
// with fonts declared in slots.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/document_state.h"
#include "base/line_group.h"
#include "base/reporting.h"
#include "base/rtf_groups.h"

namespace pomvex::testing {

class RecordingReporter : public Reporter {
 public:
  struct Entry {
    int category;  // 0 for a warning
    std::string text;
  };
  void ReportError(Category category, const std::string& text) override {
    entries.push_back({CategoryNumber(category), text});
  }
  void ReportWarning(const std::string& text) override { entries.push_back({0, text}); }
  // The entries as "E<category>: text" / "W: text", for compact expectations.
  std::vector<std::string> Lines() const;
  void Clear() { entries.clear(); }

  std::vector<Entry> entries;
};

// A document state whose slots '1'.. hold the given kinds in order ("1" = kinds[0], ...).
struct TestDocument {
  RecordingReporter reporter;
  DocumentState doc{reporter};
  explicit TestDocument(std::initializer_list<FontKind> slotKinds = {});
  void Declare(char slot, FontKind kind) { doc.FontSlots.Set(slot, kind); }
};

// A line group of the given lines, starting at slot 0.
LineGroup GroupOf(std::initializer_list<std::string> lines, int mainIndex = 0);

// MergeScriptLine and MergeScriptLines, giving the merged line.
std::string Merged(DocumentState& doc, std::string_view marker, std::string_view script,
                   std::string_view work);
std::string Merged(DocumentState& doc, const LineGroup& group);

// Translates positions start to stop (from 1, inclusive; stop -1 for the end) of line as text
// in kind; gives the position of the first character after the run in the changed line, 0 when
// nothing follows it.
int TranslateFontRun(DocumentState& doc, std::string& line, FontKind kind, int start, int stop);

// A document converted in memory.
struct ConvertedDocument {
  RecordingReporter reporter;
  std::string rtf;
  bool isDocument = false;
  std::string body;  // the text after the prolog
};
ConvertedDocument ConvertInMemory(const std::string& chi, bool keepAllScripts = false,
                                  bool equations = false);

std::string ReadFile(const std::filesystem::path& path);

}  // namespace pomvex::testing
