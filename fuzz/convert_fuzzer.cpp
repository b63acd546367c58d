// Fuzz target: converts one arbitrary input as a document into memory, without and with every
// script run kept (both merges) and with formulas, and aborts when the RTF is not one group, when
// a document without a formula converts otherwise with formulas, when anything but
// ConversionAbandoned escapes the conversion, when a problem is reported under a category that
// does not exist, or when writing the footnote texts with the lines changes the RTF or the
// problems.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <sstream>
#include <string>

#include "base/document_state.h"
#include "base/reporting.h"
#include "base/text_sink.h"
#include "document/convert_document.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "pomvex_fuzz: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
  std::abort();
}

class CheckingReporter : public pomvex::Reporter {
 public:
  void ReportError(pomvex::Category category, const std::string& text) override {
    const int number = pomvex::CategoryNumber(category);
    if (number < 1 || number > pomvex::kCategoryCount) Fail("error category out of range", text);
    problems += std::to_string(number) + ": " + text + "\n";
  }
  void ReportWarning(const std::string& text) override { problems += "W: " + text + "\n"; }
  std::string problems;
};

// What a conversion gave: the RTF and the problems, or why it was abandoned.
struct Converted {
  std::string rtf;
  std::string problems;
  bool operator==(const Converted&) const = default;
};

// Converts the input once, with every script run kept or not, and the footnote texts put into
// the lines or written with them.
Converted ConvertOnce(const std::uint8_t* data, std::size_t size, bool keepAllScripts,
                      pomvex::FootnoteInsertion insertion, bool equations = false) {
  CheckingReporter reporter;
  pomvex::DocumentState doc(reporter);
  doc.KeepAllScripts = keepAllScripts;
  doc.Equations = equations;
  doc.NoteTexts = insertion;
  // A document whose RTF is not one group ends in an internal error, which fails below.
  doc.CheckRtfGroups = true;
  std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
  pomvex::TextInput in(stream);
  pomvex::StringSink sink;
  bool converted = false;
  try {
    converted = pomvex::ConvertDocument(doc, in, sink);
  } catch (const pomvex::ConversionAbandoned& limit) {
    // A document that meets a limit is abandoned: expected.
    return {std::string("abandoned: ") + limit.what(), reporter.problems};
  } catch (const std::exception& e) {
    Fail("unexpected exception", e.what());
  } catch (...) {
    Fail("unexpected exception of unknown type");
  }
  const std::string& rtf = sink.Text();
  if (!converted) {
    if (!rtf.empty()) Fail("output written for an input that is no document");
    return {"", reporter.problems};
  }
  if (rtf.rfind("{\\rtf1", 0) != 0) Fail("the output does not open the RTF document");
  return {rtf, reporter.problems};
}

}  // namespace

// Every input is converted both ways: the merge that keeps every script run sees every input the
// standard merge sees. Footnote texts written as the lines are written must give what putting
// them into the lines gives.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (const bool keepAllScripts : {false, true}) {
    const Converted inLine =
        ConvertOnce(data, size, keepAllScripts, pomvex::FootnoteInsertion::InLine);
    const Converted written =
        ConvertOnce(data, size, keepAllScripts, pomvex::FootnoteInsertion::WhenWritten);
    if (!(inLine == written)) Fail("footnote texts written with the lines change the output");
    // With formulas: one RTF group, and what no formula is found in converts as without them.
    const Converted formulas =
        ConvertOnce(data, size, keepAllScripts, pomvex::FootnoteInsertion::InLine, true);
    if (formulas.rtf.find("{\\mmath") == std::string::npos && formulas.rtf != inLine.rtf) {
      Fail("the formulas changed a document without one");
    }
  }
  return 0;
}
