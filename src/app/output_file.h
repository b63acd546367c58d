// A file the run creates (an RTF document or the log): created new under a name that does not
// exist yet, and written through that one open handle, never opened again by name, so that a
// name swapped for a link meanwhile cannot redirect what is written. A failing write ends the
// run with the platform's message and the file's path.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "base/reporting.h"
#include "base/text_sink.h"
#include "platform/platform_files.h"

namespace pomvex {

// A folder held open, in which new files are created by name (see platform_files.h). A folder
// of the output tree below its top also holds its parent open, and knows its name there and
// whether the run made it, so that it can be removed when it is left empty, also once the walk
// has gone on elsewhere.
class OpenFolder {
 public:
  // Takes over folder, opened at path (which ends in the separator).
  OpenFolder(platform::FolderHandle folder, std::string path,
             std::shared_ptr<const OpenFolder> parent = nullptr, std::string name = {},
             bool made = false)
      : folder_(folder),
        path_(std::move(path)),
        parent_(std::move(parent)),
        name_(std::move(name)),
        made_(made) {}
  ~OpenFolder() { platform::CloseFolder(folder_); }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;

  platform::FolderHandle Handle() const { return folder_; }
  const std::string& Path() const { return path_; }
  const std::shared_ptr<const OpenFolder>& Parent() const { return parent_; }
  const std::string& Name() const { return name_; }
  bool Made() const { return made_; }

 private:
  platform::FolderHandle folder_;
  std::string path_;
  std::shared_ptr<const OpenFolder> parent_;
  std::string name_;
  bool made_;
};

// Where a new file is created: a name in an open folder, or, without a folder, the path name.
struct OutputPlace {
  std::shared_ptr<const OpenFolder> folder;
  std::string name;
};

// A name the system does not take (too long for it, even shortened): it concerns one document,
// which is skipped, and not the run.
class NameFailure : public RunFailure {
 public:
  using RunFailure::RunFailure;
};

class OutputFile : public TextSink {
 public:
  // Takes over file, just created at path (as the name name in folder, when there is one).
  OutputFile(platform::FileHandle file, std::string path,
             std::shared_ptr<const OpenFolder> folder = nullptr, std::string name = {});
  // Closes the file, with what it can of the text still gathered; a pending file is discarded.
  ~OutputFile() override;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view text) override;
  // Writes text and a line end (CR LF).
  void WriteLine(std::string_view text);
  // Hands the text gathered so far to the system.
  void Flush();
  // Closes the file; a pending file must be named first.
  void Close();
  // The text is all written: hands it to the system and closes the file, but a pending file,
  // which stays open until Name.
  void Complete();
  // Closes the file without the text still gathered, and deletes it: for an output that must
  // not be left half written.
  void Discard();
  // Closes the file without the text still gathered, leaving it for Discard to delete (a pending
  // file without a name of its own is gone at once).
  void CloseUnwritten();
  // Empties the file, to be written again from its start; false when the system refuses.
  bool Restart();
  // The file's path; for a pending file, the path it takes when its first name is free.
  const std::string& Path() const { return path_; }
  // The open folder the file was created in; none when it was created by its path.
  const std::shared_ptr<const OpenFolder>& Folder() const { return folder_; }

  // A pending file (CreatePendingFile) has no name a reader finds until Name gives it one.
  bool Pending() const { return pending_; }
  // Gives the pending file, written and still open, the first free name among its document's
  // name with its new extension, stem_0, stem_1, ... (shortened where the system asks), in one
  // step that replaces nothing. Throws NameFailure when no name the system takes is left, and
  // RunFailure for other failures.
  void Name();

 private:
  friend std::unique_ptr<OutputFile> CreatePendingFile(const OutputPlace& place,
                                                       const std::string& newExtension,
                                                       unsigned permissions, std::size_t tag);
  // Writes all of text; written counts what reached the system, also when a failure is thrown.
  void WriteThrough(std::string_view text, std::size_t& written);

  platform::FileHandle file_;
  std::string path_;
  std::shared_ptr<const OpenFolder> folder_;
  std::string name_;
  // A pending file: created without its name (name_ is its document's name, extension_ the one
  // its name takes), or under the hidden name hidden_.
  bool pending_ = false;
  std::string hidden_;
  std::string extension_;
  // Text not yet handed to the system: a document is written in many small pieces, which are
  // passed on in blocks.
  std::string pending_text_;
};

// Chooses a name that does not exist yet (the place's name with its extension replaced by
// newExtension, or kept when newExtension is empty; then stem_0, stem_1, ...; a name longer than
// the system allows loses characters at the end of its stem until it fits), creates the file
// there with the given read and write permission bits (less the umask), and gives it open for
// writing. Throws NameFailure when no name fits, RunFailure for other failures.
std::unique_ptr<OutputFile> CreateUniqueFile(const OutputPlace& place,
                                             const std::string& newExtension,
                                             unsigned permissions = platform::kDefaultPermissions);
// The same for the path name.
std::unique_ptr<OutputFile> CreateUniqueFile(const std::string& name,
                                             const std::string& newExtension,
                                             unsigned permissions = platform::kDefaultPermissions);
// Creates, in the place's folder, a file that no reader finds under a name until Name gives it
// one (the place's name with newExtension, or a numbered one) once it is whole, so that a run
// that ends in any way, even killed, leaves no cut-off file that looks like a conversion: a file
// without a name where the system has them (nothing of it is left if the run ends first), else
// a hidden temporary file named after tag (a number of the caller's that tells files created at
// once apart). Throws RunFailure.
std::unique_ptr<OutputFile> CreatePendingFile(const OutputPlace& place,
                                              const std::string& newExtension,
                                              unsigned permissions, std::size_t tag);

// The names a new file may take, in the order they are tried: the name with newExtension (or as
// it is when newExtension is empty), then stem_0, stem_1, ... (when newExtension is empty, the
// digits at the end of the stem go first). A name the system finds too long is shortened by
// whole characters at the end of its stem, and stays so for the names after it.
class NameCandidates {
 public:
  NameCandidates(const std::string& name, const std::string& newExtension);
  const std::string& Current() const { return current_; }
  // The next number.
  void Next();
  // The current name was too long: its stem loses its last character (a UTF-8 character whole).
  // False when the stem has only one character left.
  bool Shorten();

 private:
  void Make();

  std::string stem_;  // up to the extension, with any folder in front of the name
  std::string extension_;
  std::size_t nameStart_ = 0;  // where the name begins in stem_
  bool newExtension_ = false;
  long number_ = -1;  // -1: the first name, without a number
  std::string current_;
};

}  // namespace pomvex
