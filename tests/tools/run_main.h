// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The runner's whole command line in process, and its output split into lines or fields.

#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "tools/runner.h"

namespace runner {

using Outcome = std::tuple<int, std::string, std::string>;  // exit status, stdout, stderr

inline Outcome RunMain(const std::vector<std::string_view>& args) {
  std::ostringstream out, err;
  const int status = Main(args, out, err);
  return {status, out.str(), err.str()};
}

inline std::vector<std::string> Split(const std::string& text, char separator = '\n') {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

}  // namespace runner
