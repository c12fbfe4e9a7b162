#pragma once
// The runner's whole command line, in process or as the program, and its output split into lines or fields.

#include <sys/wait.h>

#include <cstdio>
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

// The program's exit status and the lines it wrote where the redirection sends them.
inline std::pair<int, std::size_t> RunProgram(const std::string& args, const char* redirect) {
  FILE* pipe = popen((DRIVELAB_SIM_PATH " " + args + " " + redirect).c_str(), "r");
  std::string out;
  for (int c; pipe != nullptr && (c = fgetc(pipe)) != EOF;) out.push_back(static_cast<char>(c));
  const int status = pipe == nullptr ? -1 : pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Split(out).size()};
}

}  // namespace runner
