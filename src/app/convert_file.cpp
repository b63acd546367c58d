#include "app/convert_file.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "document/convert_document.h"

namespace pomvex {

namespace {

// The most RTF a document may give: 64 times its own size, and 16 MB more. Only footnotes referred
// to again and again come near it; a document that goes beyond is abandoned.
std::uint64_t OutputLimitFor(std::uint64_t inputSize) {
  constexpr std::uint64_t kFactor = 64;
  constexpr std::uint64_t kAllowance = std::uint64_t{16} << 20;
  return inputSize > (UINT64_MAX - kAllowance) / kFactor ? UINT64_MAX
                                                         : inputSize * kFactor + kAllowance;
}

// Records the document's problems in its entry; when they grow too many to hold, they are
// handed over to be committed. When a report asks for it, each problem gets its place.
class EntryReporter : public Reporter {
 public:
  EntryReporter(RunEntry& entry, ConversionControl& control, bool locating)
      : entry_(entry), control_(control) {
    locating_ = locating;
  }
  void ReportError(Category category, const std::string& text) override {
    const int number = CategoryNumber(category);
    if (number < 1 || number > kCategoryCount) throw RunFailure(kRangeCheckError);
    Add(number, text);
  }
  void ReportWarning(const std::string& text) override { Add(0, text); }

  void GroupStarts(long firstLine) override { places_.GroupStarts(firstLine); }
  void GroupRead(const DocumentState& doc, const LineGroup& group, FontKind carry) override {
    places_.GroupRead(doc, group, carry);
  }
  void GroupEnds(const DocumentState& doc, std::string_view rtf) override {
    if (std::optional<GroupDetail> detail = places_.GroupEnds(doc, rtf)) {
      entry_.details.push_back(std::move(*detail));
    }
  }
  void AtLine(long line) override { places_.AtLine(line); }
  void Mark(const ProblemMark& mark) override { places_.Mark(mark); }

  // The line where the conversion stood, for a problem that ends it.
  long CurrentLine() const { return locating_ ? places_.CurrentLine() : 0; }

 private:
  void Add(int category, const std::string& text) {
    Problem& problem = entry_.problems.emplace_back(Problem{category, text});
    if (locating_) places_.Locate(problem.line, problem.group);
    if (entry_.problems.size() >= kProblemsHeld) control_.HandOver(entry_);
  }

  RunEntry& entry_;
  ConversionControl& control_;
  ProblemPlaces places_;
};

// Passes the RTF text on to the file: stops the conversion between line groups when the run is
// to stop, and abandons the document whose RTF would grow beyond its limit. The text is gathered
// here and handed on in blocks of at least kBlock, which the file takes as they are; Flush hands
// on the rest.
class GuardedSink : public TextSink {
 public:
  GuardedSink(TextSink& out, std::uint64_t limit, ConversionControl& control)
      : out_(out),
        left_(limit),
        control_(control),
        block_(std::make_unique_for_overwrite<char[]>(kCapacity)) {}
  void Write(std::string_view text) override {
    control_.CheckStop();
    if (text.size() > left_) throw ConversionAbandoned(kOutputTooLarge);
    left_ -= text.size();
    if (text.size() > kCapacity - used_) {  // only a text longer than a block
      Flush();
      out_.Write(text);
      return;
    }
    std::memcpy(block_.get() + used_, text.data(), text.size());
    used_ += text.size();
    if (used_ >= kBlock) Flush();
  }
  void Flush() {
    if (used_ != 0) out_.Write(std::string_view(block_.get(), used_));
    used_ = 0;
  }

 private:
  static constexpr std::size_t kBlock = 1 << 16;
  static constexpr std::size_t kCapacity = 2 * kBlock;

  TextSink& out_;
  std::uint64_t left_;
  ConversionControl& control_;
  std::unique_ptr<char[]> block_;
  std::size_t used_ = 0;  // block_[..used_) is still to be handed on
};

// One bad document must not end the batch nor leave a broken RTF file behind: the committer
// deletes it, and the reason closes the document's problems, at the line where the conversion
// stood.
void Abandon(RunEntry& entry, DocumentOutcome outcome, std::string reason, long line = 0) {
  entry.outcome = outcome;
  entry.problems.push_back({CategoryNumber(Category::OmittedFile), std::move(reason), line});
}

}  // namespace

void ConvertFile(RunEntry& entry, const ConversionOptions& options, ConversionControl& control,
                 bool locateProblems) {
  EntryReporter reporter(entry, control, locateProblems);
  DocumentState doc(reporter);
  doc.KeepAllScripts = options.keepAllScripts;
  doc.Equations = options.equations;
  try {
    TextInput in(entry.input->Stream());
    GuardedSink sink(*entry.output, OutputLimitFor(entry.input->Size()), control);
    const bool converted = ConvertDocument(doc, in, sink);
    sink.Flush();
    entry.output->Complete();
    // A file that is no version-3 document leaves an empty output and nothing more in the log.
    entry.outcome = converted ? DocumentOutcome::Converted : DocumentOutcome::NotVersion3;
  } catch (const ConversionAbandoned& limit) {
    Abandon(entry, DocumentOutcome::Abandoned, std::string("Conversion abandoned: ") + limit.what(),
            reporter.CurrentLine());
  } catch (const std::bad_alloc&) {
    entry.outOfMemory = true;
    Abandon(entry, DocumentOutcome::Abandoned, "Conversion abandoned: Out of memory",
            reporter.CurrentLine());
  } catch (const DocumentUnreadable& failure) {
    Abandon(entry, DocumentOutcome::Unreadable, std::string("Cannot read file: ") + failure.what());
  } catch (const ConversionYielded&) {
    throw;
  } catch (const RunInterrupted&) {
    entry.outcome = DocumentOutcome::Stopped;
  } catch (const RunFailure& failure) {
    entry.outcome = DocumentOutcome::Failed;
    entry.failure = failure.what();
    entry.failurePath = failure.Path();
  } catch (const std::exception&) {
    // A fault of the converter itself (an index out of range, a broken invariant) that this
    // document brought out: the next documents do not depend on it.
    Abandon(entry, DocumentOutcome::Abandoned, "Conversion abandoned: Internal error",
            reporter.CurrentLine());
  }
}

}  // namespace pomvex
