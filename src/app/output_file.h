// A file created for writing (an RTF document or the log). A failing operation ends the run
// with the platform's message; an open file is closed with its buffered text written.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "base/text_sink.h"

namespace pomvex {

class OutputFile : public TextSink {
 public:
  // Opens path for writing, starting empty.
  explicit OutputFile(const std::string& path);
  ~OutputFile() override;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view text) override;
  // Writes text and a line end (CR LF).
  void WriteLine(std::string_view text);
  void Close();
  const std::string& Path() const { return path_; }

 private:
  // Hands the text gathered so far to the file.
  void Flush();

  std::string path_;
  std::FILE* file_ = nullptr;
  // Text not yet handed to the file: a document is written in many small pieces, which are
  // passed on in blocks.
  std::string pending_;
};

// Chooses a name that does not exist yet (name with its extension replaced by newExtension,
// or kept when newExtension is empty; then stem_0, stem_1, ...), creates the file empty and
// exclusively, and gives its path.
std::string CreateUniqueFile(const std::string& name, const std::string& newExtension);

}  // namespace pomvex
