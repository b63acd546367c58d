// Where a run writes its RTF files and its log: beside the documents, or into an output folder
// that mirrors the start directory's tree, each folder created when a document first needs it,
// so that nothing is ever written under the start directory.
#pragma once

#include <string>
#include <vector>

namespace pomvex {

class OutputTree {
 public:
  // Both end in the separator; the same folder when the RTF files go beside their documents.
  void Start(std::string startDir, std::string outDir);
  const std::string& Root() const { return outDir_; }
  bool Mirrored() const { return outDir_ != startDir_; }
  // Creates the output folder and the parents it lacks; links among them are followed, as the
  // user named them. Throws RunFailure.
  void CreateRoot();
  // The path in the output tree of the document at sourcePath, which lies under the start
  // directory; the folders on the way are created when missing, and an entry in their place
  // that is a file or a link ends the run (RunFailure), as writing through it would.
  std::string PlaceOf(const std::string& sourcePath);
  // The output at path was deleted: the folders this run made for it, now empty, go too.
  void Emptied(const std::string& path);

 private:
  void CreateFolder(const std::string& folder, bool below);

  std::string startDir_;
  std::string outDir_;
  std::string ready_;              // the folder of the last document placed
  std::vector<std::string> made_;  // the folders this run created under the output folder
};

}  // namespace pomvex
