#include "test_support.h"

#include <fstream>
#include <sstream>

#include "charmaps/special_chars.h"
#include "document/convert_document.h"
#include "layout/script_merge.h"

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

std::string Merged(DocumentState& doc, std::string_view marker, std::string_view script,
                   std::string_view work) {
  std::string result;
  MergeScriptLine(doc, marker, script, work, result);
  return result;
}

std::string Merged(DocumentState& doc, const LineGroup& group) {
  std::string merged;
  MergeScriptLines(doc, group, merged);
  return merged;
}

int TranslateFontRun(DocumentState& doc, std::string& line, FontKind kind, int start, int stop) {
  const int last = stop < 0 ? static_cast<int>(line.size()) : stop;
  std::string out = line.substr(0, static_cast<std::size_t>(start - 1));
  AppendFontRun(doc, out, std::string_view(line).substr(start - 1, last - start + 1), kind);
  const int next = last == static_cast<int>(line.size()) ? 0 : static_cast<int>(out.size()) + 1;
  line = out + line.substr(static_cast<std::size_t>(last));
  return next;
}

ConvertedDocument ConvertInMemory(const std::string& chi, bool keepAllScripts, bool equations) {
  ConvertedDocument c;
  DocumentState doc(c.reporter);
  doc.KeepAllScripts = keepAllScripts;
  doc.Equations = equations;
  doc.CheckRtfGroups = true;
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

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace pomvex::testing
