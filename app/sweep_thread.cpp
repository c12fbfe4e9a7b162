#include "app/sweep_thread.h"

SweepThread::SweepThread(std::unique_ptr<sim::FrequencySweep> sweep, QObject* parent)
    : QThread(parent), sweep_(std::move(sweep)) {}

SweepThread::~SweepThread() { Stop(); }

void SweepThread::Stop() {
  stop_ = true;
  stop_.notify_all();
  wait();
}

void SweepThread::run() {
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
