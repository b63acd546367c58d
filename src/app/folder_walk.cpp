#include "app/folder_walk.h"

#include <unordered_set>
#include <vector>

#include "app/folder_listing.h"
#include "platform/platform_files.h"

namespace pomvex {

namespace {

// A sub-folder that cannot be listed is noted in the log and left out; the walk goes on.
void SkipFolder(DocumentQueue& queue, const std::string& dir, bool dirLogged,
                const RunFailure& failure) {
  queue.AddFolder(dirLogged ? std::string() : PrintableName(dir),
                  {{CategoryNumber(Category::OmittedFile),
                    std::string("Cannot read folder: ") + failure.what()}},
                  dir);
}

}  // namespace

void ConvertDir(RunState& run, DocumentQueue& queue, const RunRequest& request,
                const std::string& dir) {
  if (request.choice != FileChoice::CurrentAndSubFolders) {
    queue.AddFolder(PrintableName(dir));  // written even when no file is converted
    const bool single = request.choice == FileChoice::SingleFiles;
    // A hidden file is taken when it is chosen by name.
    const std::unordered_set<std::string> selected(request.selectedFiles.begin(),
                                                   request.selectedFiles.end());
    const std::vector<std::string> entries =
        request.listedFiles ? *request.listedFiles : ListFiles(dir, /*chiOnly=*/true, single);
    for (const std::string& name : entries) {
      const bool taken = !single || selected.count(name) != 0;
      if (taken && IsChiFile(dir + name)) queue.AddDocument(dir + name);
    }
    return;
  }
  const bool isStart = dir == run.StartDir;
  std::vector<std::string> files;
  try {
    files = ListFiles(dir, /*chiOnly=*/false);
  } catch (const RunFailure& failure) {
    if (isStart) throw;  // nothing of the run could be converted
    SkipFolder(queue, dir, false, failure);
    return;
  }
  bool dirLogged = false;
  for (const std::string& name : files) {
    if (!IsChiFile(dir + name)) continue;
    if (!dirLogged) {
      queue.AddFolder(PrintableName(dir));  // only directories that hold a .CHI file appear
      dirLogged = true;
    }
    queue.AddDocument(dir + name);
  }
  // The sub-folders are listed in full before any of them is visited.
  std::vector<std::string> subFolders;
  try {
    subFolders = ListSubFolders(dir);
  } catch (const RunFailure& failure) {
    if (isStart) throw;
    SkipFolder(queue, dir, dirLogged, failure);
    return;
  }
  for (const std::string& name : subFolders) {
    ConvertDir(run, queue, request, dir + name + platform::kPathSeparator);
  }
}

}  // namespace pomvex
