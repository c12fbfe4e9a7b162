// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// A frequency sweep run to its end in a thread of its own, so that the main window's run
// keeps its pace meanwhile. The thread owns the sweep, and with it its copy of the drive;
// nothing of it is read from outside until the thread has ended. The object itself lives in
// the thread that made it, where its signals arrive queued.

#include <QThread>
#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>

#include "sim/frequency_sweep.h"

class SweepThread final : public QThread {
  Q_OBJECT

 public:
  // Cycles between two looks at the stop flag: well under a millisecond of work, where a
  // point at a low frequency runs up to 150,000 of them.
  static constexpr std::int64_t TicksPerCheck = 100;

  SweepThread(std::unique_ptr<sim::FrequencySweep> sweep, QObject* parent);
  // Stops the sweep and waits for it: Qt aborts on a QThread destroyed while it runs.
  ~SweepThread() override;

  // For tests: the sweep waits after this many points until it is stopped, so that a test
  // acts in the middle of a sweep without timing it. Before start() only.
  void HoldAfter(int points) { holdAfter_ = points; }
  // Asks the sweep to stop and returns once the thread has ended.
  void Stop();

  // Once the thread has ended: the sweep as far as it went, and the error that ended it.
  std::unique_ptr<sim::FrequencySweep> Take() { return std::move(sweep_); }
  std::exception_ptr Error() const { return error_; }

 signals:
  // Points measured so far.
  void Measured(int points);

 protected:
  void run() override;

 private:
  std::unique_ptr<sim::FrequencySweep> sweep_;
  std::exception_ptr error_;
  std::atomic<bool> stop_ = false;
  int holdAfter_ = -1;
};
