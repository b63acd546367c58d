// Mouse and key input dropped while a run goes on: from Start() to Stop() every input event that
// reaches the program is discarded, not held back and replayed after the run.
#pragma once

#include <QObject>

namespace pomvex {

class InputDiscarder : public QObject {
 public:
  ~InputDiscarder() override;

  void Start();
  // Drops the input that is still waiting, then lets input through again.
  void Stop();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool discarding_ = false;
};

}  // namespace pomvex
