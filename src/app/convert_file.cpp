#include "app/convert_file.h"

#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>

#include "app/folder_listing.h"
#include "app/input_file.h"
#include "app/output_file.h"
#include "base/line_group.h"
#include "base/rtf_groups.h"
#include "conversion/body_writer.h"
#include "conversion/line_assembly.h"
#include "conversion/rtf_prolog.h"
#include "document/header_reader.h"
#include "document/sections.h"
#include "fonts/footnotes_scripts.h"

namespace pomvex {

bool ConvertDocument(DocumentState& doc, TextInput& in, TextSink& sink) {
  // The tests and the fuzzer check that every document closes each group it opens.
  GroupCheckingSink checked(sink);
  TextSink& out = doc.CheckRtfGroups ? checked : sink;
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
  WriteWithFootnotes(doc, sections, out);

  flow.paragraphEnded = true;
  flow.fontCarry = STANDARD;
  BodyWriter body(doc, out);
  // A line read ahead is always converted, even at the end of the input.
  while (!in.AtEnd() || flow.linePending) {
    const FramedLine framed = ConvertLineGroup(doc, in, *group, line, flow);
    body.Write(line, framed);
  }
  body.Close(flow);
  out.Write("}");
  if (doc.CheckRtfGroups && !checked.IsOneGroup()) {
    throw std::logic_error("The RTF document is not one group");
  }
  return true;
}

namespace {

std::string FileNameOf(const std::string& path) {
  return path.substr(platform::NameStart(path));
}

void WriteCountLine(RunState& run, int count, const std::string& text) {
  if (count != 0) run.WriteLog("    " + std::to_string(count) + text);
}

// The most RTF a document may give: 64 times its own size, and 16 MB more. Only footnotes referred
// to again and again come near it; a document that goes beyond is abandoned.
std::uint64_t OutputLimitFor(std::uint64_t inputSize) {
  constexpr std::uint64_t kFactor = 64;
  constexpr std::uint64_t kAllowance = std::uint64_t{16} << 20;
  return inputSize > (UINT64_MAX - kAllowance) / kFactor ? UINT64_MAX
                                                         : inputSize * kFactor + kAllowance;
}

// Passes the RTF text on, counted, and abandons the document whose RTF would grow beyond its
// limit.
class BoundedSink : public TextSink {
 public:
  BoundedSink(TextSink& out, std::uint64_t limit) : out_(out), left_(limit) {}
  void Write(std::string_view text) override {
    if (text.size() > left_) throw ConversionAbandoned(kOutputTooLarge);
    left_ -= text.size();
    out_.Write(text);
  }

 private:
  TextSink& out_;
  std::uint64_t left_;
};

// Passes the RTF text on to the file, and stops the run between line groups when the front end
// asks for it.
class InterruptibleSink : public TextSink {
 public:
  InterruptibleSink(TextSink& out, RunState& run) : out_(out), run_(run) {}
  void Write(std::string_view text) override {
    run_.CheckInterrupted();
    out_.Write(text);
  }

 private:
  TextSink& out_;
  RunState& run_;
};

// Converts the file; gives false when nothing more is to be logged for it.
bool ConvertOpenedFile(RunState& run, const std::string& path) {
  const std::string name = "  " + PrintableName(FileNameOf(path));
  std::unique_ptr<InputFile> input;
  try {
    input = std::make_unique<InputFile>(path);
  } catch (const DocumentUnreadable& failure) {
    // Gone since the folder was listed, or not readable: skipped, and no output is left.
    run.WriteLog(name);
    run.ReportError(Category::OmittedFile, std::string("Cannot read file: ") + failure.what());
    return true;
  }
  const std::unique_ptr<OutputFile> out =
      CreateUniqueFile(run.Outputs.PlaceOf(path), ".rtf", input->Permissions());
  run.WriteLog(name);
  // A dropped output takes the folders made for it along, so that the output tree holds only
  // folders with RTF files.
  auto drop = [&run, &out] {
    out->Discard();
    run.Outputs.Emptied(out->Path());
  };

  DocumentState doc(run);
  doc.KeepAllScripts = run.KeepAllScripts;
  TextInput in(input->Stream());
  BoundedSink bounded(*out, OutputLimitFor(input->Size()));
  InterruptibleSink sink(bounded, run);
  std::string abandoned;
  try {
    const bool converted = ConvertDocument(doc, in, sink);
    out->Close();
    // A file that is no version-3 document leaves an empty output and nothing more in the log.
    if (!converted) return false;
  } catch (const ConversionAbandoned& limit) {
    abandoned = std::string("Conversion abandoned: ") + limit.what();
  } catch (const std::bad_alloc&) {
    abandoned = "Conversion abandoned: Out of memory";
  } catch (const DocumentUnreadable& failure) {
    abandoned = std::string("Cannot read file: ") + failure.what();
  } catch (const RunFailure&) {
    // A failure or an interruption ends the run: no cut-off RTF file is left to look complete.
    drop();
    throw;
  } catch (const RunInterrupted&) {
    drop();
    throw;
  } catch (const std::exception&) {
    // A fault of the converter itself (an index out of range, a broken invariant) that this
    // document brought out: the next documents do not depend on it.
    abandoned = "Conversion abandoned: Internal error";
  } catch (...) {
    drop();
    throw;
  }
  if (!abandoned.empty()) {
    // One bad document must not end the batch nor leave a broken RTF file behind.
    drop();
    run.ReportError(Category::OmittedFile, abandoned);
    return true;
  }
  run.CountConverted();
  return true;
}

}  // namespace

void ConvertFile(RunState& run, const std::string& path) {
  run.FrontEnd().FileStarted(path);
  constexpr int kScriptLines = CategoryNumber(Category::UnprocessedScriptLine);
  constexpr int kScriptRuns = CategoryNumber(Category::ScriptNotAdded);
  const int scriptLinesBefore = run.CategoryCounts[kScriptLines];
  const int scriptRunsBefore = run.CategoryCounts[kScriptRuns];
  const int errorsBefore = run.ErrorCount;
  if (ConvertOpenedFile(run, path)) {
    WriteCountLine(run, run.CategoryCounts[kScriptLines] - scriptLinesBefore,
                   std::string(" instances of ") + CategoryNames[kScriptLines]);
    WriteCountLine(run, run.CategoryCounts[kScriptRuns] - scriptRunsBefore,
                   std::string(" instances of ") + CategoryNames[kScriptRuns]);
    WriteCountLine(run, run.ErrorCount - errorsBefore, " errors in the conversion");
  }
  ++run.FilesDone;
  run.FlushLog();
}

}  // namespace pomvex
