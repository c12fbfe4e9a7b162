// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/sweep_thread.h"

#ifdef __linux__
#include <sys/resource.h>
#endif

SweepThread::SweepThread(std::unique_ptr<sim::FrequencySweep> sweep, QObject* parent)
    : QThread(parent), sweep_(std::move(sweep)) {}

SweepThread::~SweepThread() { Stop(); }

void SweepThread::Stop() {
  stop_ = true;
  stop_.notify_all();
  wait();
}

void SweepThread::run() {
#ifdef __linux__
  // Where the cores are busy, the window's own run goes first: on Linux a thread has a nice
  // value of its own, and this one yields to the window's thread. A refusal costs nothing.
  static_cast<void>(setpriority(PRIO_PROCESS, 0, 10));
#endif
  // The budget only decides how often the flag is read: the sweep runs tick by tick whatever
  // it is, so its figures are those of one Advance to the end.
  std::size_t told = 0;
  try {
    while (!stop_ && !sweep_->Finished()) {
      sweep_->Advance(TicksPerCheck);
      if (sweep_->Points().size() != told) {
        told = sweep_->Points().size();
        emit Measured(static_cast<int>(told));
        if (static_cast<int>(told) == holdAfter_) {
          stop_.wait(false);
        }
      }
    }
  } catch (...) {
    error_ = std::current_exception();
  }
}
