// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The runner's pole options: the closed loop's poles for the parameters given, and the root
// locus over a range of gains.
#include <algorithm>
#include <cmath>
#include <ostream>

#include "sim/root_locus.h"
#include "tools/runner.h"

namespace runner {

namespace {

void WritePoles(std::ostream& out, const sim::Poles& poles) {
  for (const auto& pole : poles) {
    out << ',' << sim::CsvNumber(pole.real()) << ',' << sim::CsvNumber(pole.imag());
  }
}

}  // namespace

std::string PolesConflict(const Options& options, const std::vector<std::string_view>& named) {
  if (!options.poles && !options.locus) {
    return {};
  }
  const std::string which = options.poles ? "--poles" : "--locus";
  if (options.poles && options.locus) {
    return "--poles gives the poles at one gain and --locus at many; choose one";
  }
  for (std::string_view option : {"--offset", "--amplitude", "--frequency", "--cycles", "--every", "--measure", "--sweep"}) {
    if (std::find(named.begin(), named.end(), option) != named.end()) {
      return which + " prints the loop's poles, not a run; " + std::string(option) + " does not apply";
    }
  }
  if (options.locus && std::find(named.begin(), named.end(), "--kamp") != named.end()) {
    return "--locus sets the gain itself; --kamp does not apply";
  }
  return {};
}

int RunPoles(const Options& options, std::ostream& out, std::ostream& err) {
  return ReportingFloatErrors(out, err, [&] {
    sim::Drive d;
    ReadParameters(options, d);
    const sim::Parameters p = sim::ParametersOf(d);
    if (options.poles) {
      out << "pole,real (1/s),imaginary (rad/s)\n";
      const sim::Poles poles = sim::PolesAt(p, p.Kamp);
      for (std::size_t i = 0; i < poles.size(); ++i) {
        out << i + 1 << ',' << sim::CsvNumber(poles[i].real()) << ',' << sim::CsvNumber(poles[i].imag()) << '\n';
      }
      return out ? 0 : 1;
    }
    out << "Kamp,pole 1 real,pole 1 imaginary,pole 2 real,pole 2 imaginary,pole 3 real,pole 3 imaginary\n";
    const LocusRange& r = *options.locus;
    for (int i = 0; i < r.count; ++i) {
      const double gain = r.count > 1 ? r.from + (r.to - r.from) * i / (r.count - 1) : r.from;
      out << sim::CsvNumber(gain);
      WritePoles(out, sim::PolesAt(p, gain));
      out << '\n';
      if (!out) {
        return 1;  // the output is lost: Main says so
      }
    }
    return 0;
  });
}

}  // namespace runner
