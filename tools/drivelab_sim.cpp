// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <iostream>
#include <string_view>
#include <vector>

#include "tools/runner.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  return runner::Main(args, std::cout, std::cerr);
}
