#include "test_support.h"

namespace pomvex::testing {

std::vector<std::string> RecordingReporter::Lines() const {
  std::vector<std::string> out;
  for (const Entry& e : entries) {
    out.push_back(e.category == 0 ? "W: " + e.text
                                  : "E" + std::to_string(e.category) + ": " + e.text);
  }
  return out;
}

TestDocument::TestDocument(std::initializer_list<FontKind> slotKinds) {
  char slot = '1';
  for (FontKind k : slotKinds) doc.FontSlots.Set(slot++, k);
}

}  // namespace pomvex::testing
