// Fuzz target: converts one arbitrary input as a document into memory, without and with every
// script run kept, and aborts when the RTF is not one well-formed group, when anything but
// ConversionAbandoned escapes the conversion, or when a problem is reported under a category
// that does not exist.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <sstream>
#include <string>

#include "app/convert_file.h"
#include "base/reporting.h"
#include "base/text_sink.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "pomvex_fuzz: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
  std::abort();
}

class CheckingReporter : public pomvex::Reporter {
 public:
  void ReportError(int category, const std::string& text) override {
    if (category < 1 || category > 15) Fail("error category out of range", text);
  }
  void ReportWarning(const std::string&) override {}
};

// The RTF document must be one group: its unescaped braces balance, and the group opened by
// the first character closes only at the last. A backslash pairs with the character after it.
void CheckBraces(const std::string& rtf) {
  long depth = 0;
  const std::size_t n = rtf.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char c = rtf[i];
    if (c == '\\') {
      ++i;
      continue;
    }
    if (c == '{') ++depth;
    if (c == '}') --depth;
    if (depth < 0) Fail("a closing brace with no group open", std::to_string(i));
    if (depth == 0 && i + 1 < n)
      Fail("the document group closes before the end", std::to_string(i));
  }
  if (depth != 0) Fail("groups left open at the end", std::to_string(depth));
}

// Converts the input once, with every script run kept or not.
void ConvertOnce(const std::uint8_t* data, std::size_t size, bool keepAllScripts) {
  CheckingReporter reporter;
  pomvex::DocumentState doc(reporter);
  doc.KeepAllScripts = keepAllScripts;
  std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
  pomvex::TextInput in(stream);
  pomvex::StringSink sink;
  bool converted = false;
  try {
    converted = pomvex::ConvertDocument(doc, in, sink);
  } catch (const pomvex::ConversionAbandoned&) {
    return;  // a document that meets a limit is abandoned: expected
  } catch (const std::exception& e) {
    Fail("unexpected exception", e.what());
  } catch (...) {
    Fail("unexpected exception of unknown type");
  }
  const std::string& rtf = sink.Text();
  if (!converted) {
    if (!rtf.empty()) Fail("output written for an input that is no document");
    return;
  }
  if (rtf.rfind("{\\rtf1", 0) != 0) Fail("the output does not open the RTF document");
  CheckBraces(rtf);
}

}  // namespace

// Every input is converted both ways: the merge that keeps every script run sees every input the
// standard merge sees.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ConvertOnce(data, size, false);
  ConvertOnce(data, size, true);
  return 0;
}
