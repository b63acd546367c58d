// What the window shows while a run goes on. The run executes on the window's thread; once the
// start directory has been shown, the window is repainted from time to time so that it never
// looks hung, while every mouse and key input that arrives meanwhile is discarded (not held back
// and replayed after the run). The counters are redrawn at most every RedrawThrottle::kInterval,
// and with their final values at the end: drawing them at every change would cost far more than
// the run.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "app/redraw_throttle.h"
#include "app/run.h"

namespace pomvex {

class MainFormView;

using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

class RunProgress : public RunFrontEnd {
 public:
  // showInfo shows the start directory and returns when the user has closed it.
  RunProgress(MainFormView& view, SteadyClock clock,
              std::function<void(const std::string&)> showInfo);
  ~RunProgress() override;

  void ShowInfo(const std::string& text) override;
  void CountsChanged(const RunCounts& counts) override;
  void FileStarted(const std::string& path) override;

  // Draws the counters the run told last, drops the input that is still waiting, and lets
  // input through again.
  void Finish();

  // What the run told: the counters, the start directory and the file being converted (empty
  // before the first).
  const RunCounts& Counts() const { return counts_; }
  const std::string& StartDir() const { return startDir_; }
  const std::string& CurrentFile() const { return currentFile_; }

 private:
  void RedrawWhenDue();
  void Redraw();
  void StopDiscarding();

  MainFormView& view_;
  SteadyClock clock_;
  std::function<void(const std::string&)> showInfo_;
  RunCounts counts_;
  std::string startDir_;
  std::string currentFile_;
  bool discarding_ = false;
  RedrawThrottle throttle_;
};

}  // namespace pomvex
