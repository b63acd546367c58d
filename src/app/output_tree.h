// Where a run writes its RTF files and its log: beside the documents, or into an output folder
// that mirrors the start directory's tree, each folder created when a document first needs it,
// so that nothing is ever written under the start directory. The folders are held open from the
// output folder down to the last document's, and every file and folder is created through them:
// a folder swapped for a link meanwhile is never written through.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/output_file.h"

namespace pomvex {

class OutputTree {
 public:
  // Both end in the separator; the same folder when the RTF files go beside their documents.
  void Start(std::string startDir, std::string outDir);
  const std::string& Root() const { return outDir_; }
  bool Mirrored() const { return outDir_ != startDir_; }
  // Creates the output folder and the parents it lacks (links among them are followed, as the
  // user named them), and opens it. Throws RunFailure.
  void CreateRoot();
  // Where the file name goes in the output folder itself.
  OutputPlace RootPlace(const std::string& name) const;
  // Where the RTF file of the document at sourcePath, which lies under the start directory, goes
  // in the output tree; the folders on the way are created when missing. A folder on the way
  // that is not a folder, a link, or one put in the place of a folder opened before ends the
  // run (RunFailure), as writing through it would; a folder whose name the system does not take
  // throws NameFailure.
  OutputPlace PlaceOf(const std::string& sourcePath);
  // An output in folder was deleted: the folders this run made for it, now empty, go too.
  void Emptied(std::shared_ptr<const OpenFolder> folder);

 private:
  void CreateFolder(const std::string& folder);
  void Descend(const std::string& name);

  std::string startDir_;
  std::string outDir_;
  // The output folder, then the folders down to the last document's, each open.
  std::vector<std::shared_ptr<const OpenFolder>> chain_;
};

}  // namespace pomvex
