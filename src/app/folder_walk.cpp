#include "app/folder_walk.h"

#include <algorithm>
#include <vector>

#include "app/convert_file.h"
#include "app/folder_listing.h"

namespace pomvex {

void ConvertDir(RunState& run, const RunRequest& request, const std::string& dir) {
  if (request.choice != FileChoice::CurrentAndSubFolders) {
    run.WriteLog(dir);  // written even when no file is converted
    const std::vector<std::string> entries =
        request.listedFiles ? *request.listedFiles : ListFiles(dir, /*chiOnly=*/true);
    for (const std::string& name : entries) {
      const bool taken = request.choice == FileChoice::CurrentDirectory ||
                         std::find(request.selectedFiles.begin(), request.selectedFiles.end(),
                                   name) != request.selectedFiles.end();
      if (taken && IsChiFile(dir + name)) ConvertFile(run, dir + name);
    }
    return;
  }
  bool dirLogged = false;
  for (const std::string& name : ListFiles(dir, /*chiOnly=*/false)) {
    if (!IsChiFile(dir + name)) continue;
    if (!dirLogged) {
      run.WriteLog(dir);  // only directories that hold a .CHI file appear in the log
      dirLogged = true;
    }
    ConvertFile(run, dir + name);
  }
  // The sub-folders are listed in full before any of them is visited.
  const std::vector<std::string> subFolders = ListSubFolders(dir);
  for (const std::string& name : subFolders) ConvertDir(run, request, dir + name + "/");
}

}  // namespace pomvex
