// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// A file size limit stands in for a full disk while the object lives: a write past `bytes`
// fails part of the way with "File too large", as one onto a full disk fails with "No space
// left on device".
#include <sys/resource.h>

#include <csignal>

struct SmallDisk {
  explicit SmallDisk(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old);
    handler = std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the process
    rlimit small = old;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~SmallDisk() {
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  rlimit old{};
  void (*handler)(int) = nullptr;
};
