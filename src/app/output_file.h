// A file the run creates (an RTF document or the log): created new under a name that does not
// exist yet, and written through that one open handle, never opened again by name, so that a
// name swapped for a link meanwhile cannot redirect what is written. A failing write ends the
// run with the platform's message and the file's path.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/platform_files.h"
#include "base/text_sink.h"

namespace pomvex {

class OutputFile : public TextSink {
 public:
  // Takes over file, just created at path.
  OutputFile(platform::FileHandle file, std::string path);
  // Closes the file, with what it can of the text still gathered.
  ~OutputFile() override;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view text) override;
  // Writes text and a line end (CR LF).
  void WriteLine(std::string_view text);
  // Hands the text gathered so far to the system.
  void Flush();
  void Close();
  // Closes the file without the text still gathered, and deletes it: for an output that must
  // not be left half written.
  void Discard();
  // Closes the file without the text still gathered, leaving it for Discard to delete.
  void CloseUnwritten();
  // Empties the file, to be written again from its start; false when the system refuses.
  bool Restart();
  const std::string& Path() const { return path_; }

 private:
  // Writes all of text; written counts what reached the system, also when a failure is thrown.
  void WriteThrough(std::string_view text, std::size_t& written);

  platform::FileHandle file_;
  std::string path_;
  // Text not yet handed to the system: a document is written in many small pieces, which are
  // passed on in blocks.
  std::string pending_;
};

// Chooses a name that does not exist yet (name with its extension replaced by newExtension,
// or kept when newExtension is empty; then stem_0, stem_1, ...), creates the file there with
// the given read and write permission bits (less the umask), and gives it open for writing.
// passOver, when given, is asked about each name found taken: false gives up the search, and
// nullptr is returned.
std::unique_ptr<OutputFile> CreateUniqueFile(
    const std::string& name, const std::string& newExtension,
    unsigned permissions = platform::kDefaultPermissions,
    const std::function<bool(const std::string& taken)>& passOver = {});

}  // namespace pomvex
