// Chooses the files a run converts and walks them: the selected files, every .CHI file of the
// start directory, or the whole tree depth first. Folders and documents are added to the run's
// queue in walk order.
#pragma once

#include <string>

#include "app/document_queue.h"
#include "app/run.h"
#include "app/run_state.h"

namespace pomvex {

// dir ends in the path separator ("/"; on Windows "\").
void ConvertDir(RunState& run, DocumentQueue& queue, const RunRequest& request,
                const std::string& dir);

}  // namespace pomvex
