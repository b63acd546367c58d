#include "app/convert_file.h"

#include <cassert>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/output_file.h"
#include "app/platform_errors.h"
#include "base/line_group.h"
#include "conversion/line_assembly.h"
#include "conversion/rtf_prolog.h"
#include "document/header_reader.h"
#include "document/sections.h"

namespace pomvex {

namespace {

// Passes the text on and follows its RTF group depth, so that debug builds can check that every
// document closes each group it opens.
class GroupCheckingSink : public TextSink {
 public:
  explicit GroupCheckingSink(TextSink& out) : out_(out) {}
  void Write(std::string_view text) override {
    for (char c : text) {
      if (escaped_) {
        escaped_ = false;
      } else if (c == '\\') {
        escaped_ = true;
      } else if (c == '{') {
        ++depth_;
      } else if (c == '}') {
        --depth_;
        if (depth_ < lowest_) lowest_ = depth_;
      }
    }
    out_.Write(text);
  }
  bool Balanced() const { return depth_ == 0 && lowest_ >= 0; }

 private:
  TextSink& out_;
  bool escaped_ = false;
  long depth_ = 0;
  long lowest_ = 0;
};

}  // namespace

bool ConvertDocument(DocumentState& doc, TextInput& in, TextSink& sink) {
#ifdef NDEBUG
  TextSink& out = sink;
#else
  GroupCheckingSink out(sink);
#endif
  ResetDocumentState(doc);
  std::string line;
  if (!ReadDocumentHeader(doc, in, line)) return false;

  // The sections are converted before the prolog is written, so that the prolog knows whether
  // the document has left-page headers or footers; their text follows the prolog.
  const PrologMargins margins = PrologMarginsOf(doc.Settings);
  auto group = std::make_unique<LineGroup>();
  std::string sections;
  GroupFlow flow;
  ConvertHeaderFooterSections(doc, in, *group, std::move(line), sections, flow.linePending);
  out.Write("{");
  out.Write(RtfProlog(doc.Settings, margins, doc.HasLeftPageSection));
  out.Write(sections);

  flow.paragraphEnded = true;
  flow.fontCarry = STANDARD;
  // A line read ahead is always converted, even at the end of the input.
  while (!in.AtEnd() || flow.linePending) {
    ConvertLineGroup(doc, in, *group, line, flow);
    line += "\r\n";
    out.Write(line);
  }
  if (!flow.paragraphEnded) out.Write("\\par}");
  out.Write("}");
#ifndef NDEBUG
  assert(out.Balanced());
#endif
  return true;
}

namespace {

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void WriteCountLine(RunState& run, int count, const std::string& text) {
  if (count != 0) run.WriteLog("    " + std::to_string(count) + text);
}

}  // namespace

void ConvertFile(RunState& run, const std::string& path) {
  run.FrontEnd().FileStarted(path);
  std::ifstream input(path, std::ios::binary);
  if (!input) throw RunFailure(MessageForErrno(errno));
  const std::string outPath = CreateUniqueFile(path, ".rtf");
  auto out = std::make_unique<OutputFile>(outPath);
  run.WriteLog("  " + FileNameOf(path));

  DocumentState doc(run);
  doc.KeepAllScripts = run.KeepAllScripts;
  const int scriptLinesBefore = run.CategoryCounts[5];
  const int scriptRunsBefore = run.CategoryCounts[6];
  const int errorsBefore = run.ErrorCount;
  TextInput in(input);
  bool converted = false;
  bool abandoned = false;
  try {
    converted = ConvertDocument(doc, in, *out);
    out->Close();
  } catch (const ConversionAbandoned& limit) {
    // One bad document must not end the batch nor leave a broken RTF file behind.
    out.reset();
    std::error_code ec;
    std::filesystem::remove(outPath, ec);
    run.ReportError(15, std::string("Conversion abandoned: ") + limit.what());
    abandoned = true;
  }
  // A file that is no version-3 document leaves an empty output and nothing more in the log.
  if (!converted && !abandoned) return;
  if (converted) run.CountConverted();
  WriteCountLine(run, run.CategoryCounts[5] - scriptLinesBefore,
                 std::string(" instances of ") + CategoryNames[5]);
  WriteCountLine(run, run.CategoryCounts[6] - scriptRunsBefore,
                 std::string(" instances of ") + CategoryNames[6]);
  WriteCountLine(run, run.ErrorCount - errorsBefore, " errors in the conversion");
}

}  // namespace pomvex
