// Chooses the files a run converts and walks them: the selected files, every .CHI file of the
// start directory, or the whole tree depth first.
#pragma once

#include <string>

#include "app/run.h"
#include "app/run_state.h"

namespace pomvex {

// dir ends in the path separator ("/"; on Windows "\").
void ConvertDir(RunState& run, const RunRequest& request, const std::string& dir);

}  // namespace pomvex
