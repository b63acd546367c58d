// A file the run creates (an RTF document or the log): created new under a name that does not
// exist yet, and written through that one open handle, never opened again by name, so that a
// name swapped for a link meanwhile cannot redirect what is written. A failing write ends the
// run with the platform's message and the file's path.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

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

class OutputFile : public TextSink {
 public:
  // Takes over file, just created at path (as the name name in folder, when there is one).
  OutputFile(platform::FileHandle file, std::string path,
             std::shared_ptr<const OpenFolder> folder = nullptr, std::string name = {});
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
  // The open folder the file was created in; none when it was created by its path.
  const std::shared_ptr<const OpenFolder>& Folder() const { return folder_; }

 private:
  // Writes all of text; written counts what reached the system, also when a failure is thrown.
  void WriteThrough(std::string_view text, std::size_t& written);

  platform::FileHandle file_;
  std::string path_;
  std::shared_ptr<const OpenFolder> folder_;
  std::string name_;
  // Text not yet handed to the system: a document is written in many small pieces, which are
  // passed on in blocks.
  std::string pending_;
};

// Chooses a name that does not exist yet (the place's name with its extension replaced by
// newExtension, or kept when newExtension is empty; then stem_0, stem_1, ...), creates the file
// there with the given read and write permission bits (less the umask), and gives it open for
// writing. passOver, when given, is asked about each name found taken (its path): false gives up
// the search, and nullptr is returned.
std::unique_ptr<OutputFile> CreateUniqueFile(
    const OutputPlace& place, const std::string& newExtension,
    unsigned permissions = platform::kDefaultPermissions,
    const std::function<bool(const std::string& taken)>& passOver = {});
// The same for the path name.
std::unique_ptr<OutputFile> CreateUniqueFile(const std::string& name,
                                             const std::string& newExtension,
                                             unsigned permissions = platform::kDefaultPermissions);

}  // namespace pomvex
