#include "test_support.h"

#include <fstream>
#include <sstream>

#include "app/convert_file.h"

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

LineGroup GroupOf(std::initializer_list<std::string> lines, int mainIndex) {
  LineGroup group;
  int slot = 0;
  for (const std::string& line : lines) group.Lines[slot++] = line;
  group.lastIndex = slot - 1;
  group.mainIndex = mainIndex;
  return group;
}

ConvertedDocument ConvertInMemory(const std::string& chi, bool keepAllScripts) {
  ConvertedDocument c;
  DocumentState doc(c.reporter);
  doc.KeepAllScripts = keepAllScripts;
  std::istringstream stream(chi);
  TextInput in(stream);
  StringSink sink;
  c.isDocument = ConvertDocument(doc, in, sink);
  c.rtf = sink.Text();
  const std::string prologEnd = "\\viewkind1\\uc1\r\n";
  const std::size_t at = c.rtf.find(prologEnd);
  if (at != std::string::npos) c.body = c.rtf.substr(at + prologEnd.size());
  return c;
}

bool IsOneBalancedGroup(const std::string& rtf) {
  long depth = 0;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;
      continue;
    }
    if (rtf[i] == '{') ++depth;
    if (rtf[i] == '}') --depth;
    if (depth < 0 || (depth == 0 && i + 1 < rtf.size())) return false;
  }
  return depth == 0;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace pomvex::testing
