// How often a front end redraws the progress of a run: a run tells its counters and files far
// more often than anyone can read them, and drawing each would cost more than converting.
#pragma once

#include <chrono>

namespace pomvex {

class RedrawThrottle {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  static constexpr std::chrono::milliseconds kInterval{50};

  // True when kInterval has passed at now since the last drawing (or since the clock's start,
  // before the first).
  bool Due(TimePoint now) const { return now - lastDrawn_ >= kInterval; }
  void Drawn(TimePoint now) { lastDrawn_ = now; }

 private:
  TimePoint lastDrawn_{};
};

}  // namespace pomvex
