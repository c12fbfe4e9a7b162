#pragma once
// A limit for work that must finish, such as a paint: the work runs on the calling
// thread (widgets need the GUI thread) while a watchdog waits. A hung loop cannot be
// stopped from outside, so the watchdog reports and ends the test program. The limit is
// generous: a busy machine slows the work, it never makes a correct run fail.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

template <class F>
void FinishesWithin(std::chrono::seconds limit, const std::string& what, F&& work) {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock lock(mutex);
    if (!finished.wait_for(lock, limit, [&] { return done; })) {
      std::fprintf(stderr, "%s did not finish within %lld s\n", what.c_str(), static_cast<long long>(limit.count()));
      std::_Exit(1);
    }
  });
  work();
  {
    std::lock_guard lock(mutex);
    done = true;
  }
  finished.notify_one();
  watchdog.join();
}
