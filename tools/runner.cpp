// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/runner.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <ostream>
#include <streambuf>
#include <system_error>

#include "drivelab/version.h"
#include "sim/checked_float.h"
#include "sim/cycle.h"
#include "sim/drive_model.h"
#include "sim/frequency_sweep.h"

namespace runner {

namespace {

// The marker travels over strip columns 40..177, so its offset from column 108 does too.
constexpr std::int32_t MinOffset = 40 - sim::MarkerCentre;
constexpr std::int32_t MaxOffset = 177 - sim::MarkerCentre;
// The limits of the two spin edits.
constexpr std::int32_t MaxAmplitude = 50;
constexpr std::int32_t MaxFrequency = 1000;

std::optional<std::int64_t> ReadInteger(std::string_view text) {
  std::int64_t value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') {
    ++first;
  }
  const auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last || first == last) {
    return std::nullopt;
  }
  return value;
}

// A decimal number with '.', kept in extended precision; beyond the double range is
// refused here rather than reported as an overflow of the simulation.
std::optional<long double> ReadExtended(std::string_view text) {
  long double value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') {
    ++first;
  }
  const auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last || first == last || !std::isfinite(value)) {
    return std::nullopt;
  }
  if (!std::isfinite(static_cast<double>(value))) {
    return std::nullopt;
  }
  return value;
}

std::optional<double> ReadReal(std::string_view text) {
  const auto value = ReadExtended(text);
  return value ? std::optional<double>(static_cast<double>(*value)) : std::nullopt;
}

std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted.append(1, '\'').append(text).append(1, '\'');
  return quoted;
}

// The option's value text, or the form it expects as the error.
using Setter = std::function<bool(std::string_view value, Options&)>;

struct OptionRule {
  std::string_view name;
  std::string_view expects;
  Setter set;
};

Setter IntegerIn(std::int64_t lo, std::int64_t hi, std::function<void(Options&, std::int64_t)> store) {
  return [=](std::string_view text, Options& o) {
    const auto v = ReadInteger(text);
    if (!v || *v < lo || *v > hi) {
      return false;
    }
    store(o, *v);
    return true;
  };
}

Setter Real(double Options::*field) {
  return [=](std::string_view text, Options& o) {
    const auto v = ReadReal(text);
    if (!v) {
      return false;
    }
    o.*field = *v;
    return true;
  };
}

// The motor box: "Process" takes the reciprocal of the value as read, not as stored.
Setter MotorBox() {
  return [](std::string_view text, Options& o) {
    const auto v = ReadExtended(text);
    if (!v) {
      return false;
    }
    o.kmotor = *v;
    return true;
  };
}

const std::vector<OptionRule>& Rules() {
  // Written from the bounds themselves, so that the message cannot drift from the check.
  static const std::string sweepForm = "FROM:TO:COUNT, " + ShortNumber(sim::MinSweepFrequency) +
                                       " <= FROM <= TO <= " + ShortNumber(sim::MaxSweepFrequency) +
                                       " rad/s and COUNT from 1 to " + std::to_string(sim::MaxSweepPoints);
  static const std::string locusForm =
      "FROM:TO:COUNT, 0 <= FROM <= TO and COUNT from 1 to " + std::to_string(MaxLocusGains);
  static const std::vector<OptionRule> rules = {
      {"--mode", "stability or accuracy",
       [](std::string_view text, Options& o) {
         if (text == "stability") {
           o.mode = Mode::Stability;
         } else if (text == "accuracy") {
           o.mode = Mode::Accuracy;
         } else {
           return false;
         }
         return true;
       }},
      {"--offset", "an integer from -68 to 69 (mm from the strip's centre)",
       IntegerIn(MinOffset, MaxOffset, [](Options& o, std::int64_t v) { o.offset = static_cast<std::int32_t>(v); })},
      {"--amplitude", "an integer from 0 to 50 (the amplitude used is one more)",
       IntegerIn(0, MaxAmplitude, [](Options& o, std::int64_t v) { o.amplitude = static_cast<std::int32_t>(v); })},
      {"--frequency", "an integer from 0 to 1000 (rad/s)",
       IntegerIn(0, MaxFrequency, [](Options& o, std::int64_t v) { o.frequency = static_cast<std::int32_t>(v); })},
      {"--kamp", "a real number such as 100", Real(&Options::kamp)},
      {"--tamp", "a real number such as 0.003", Real(&Options::tamp)},
      {"--kmotor", "a real number such as 0.75", MotorBox()},
      {"--tmotor", "a real number such as 0.02", Real(&Options::tmotor)},
      {"--pitch", "a real number such as 8", Real(&Options::pitch)},
      {"--kfb", "a real number such as 0.2", Real(&Options::kfb)},
      {"--cycles", "a whole number of cycles, 0 or more",
       IntegerIn(0, INT64_MAX, [](Options& o, std::int64_t v) { o.cycles = v; })},
      {"--every", "a whole number, 1 or more",
       IntegerIn(1, INT64_MAX, [](Options& o, std::int64_t v) { o.every = v; })},
      {"--sweep", sweepForm,
       [](std::string_view text, Options& o) {
         o.sweep = ReadRange(text, sim::MinSweepFrequency, sim::MaxSweepFrequency, sim::MaxSweepPoints);
         return o.sweep.has_value();
       }},
      {"--locus", locusForm,
       [](std::string_view text, Options& o) {
         o.locus = ReadRange(text, 0, std::numeric_limits<double>::max(), MaxLocusGains);
         return o.locus.has_value();
       }},
  };
  return rules;
}

const OptionRule* FindRule(std::string_view name) {
  for (const auto& rule : Rules()) {
    if (rule.name == name) {
      return &rule;
    }
  }
  return nullptr;
}

// Numbers as the CSV carries them: '.' and 17 significant digits, whatever the locale.
void WriteNumber(std::ostream& out, double v) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 17);
  out.write(buffer, result.ptr - buffer);
}

void WriteRow(std::ostream& out, std::int64_t cycle, const sim::Drive& d) {
  constexpr int n = sim::TraceNewest;
  out << cycle;
  for (double v : {d.SimTime, d.Command, d.DriveState[0], d.DriveState[1], d.DriveState[2]}) {
    out << ',';
    WriteNumber(out, v);
  }
  out << ',' << d.CarriageX << ',' << d.ScrewPhase;
  for (double v : {d.TraceTime[n], d.TracePreset[n], d.TraceActual[n], d.TraceError[n]}) {
    out << ',';
    WriteNumber(out, v);
  }
  out << '\n';
}

// Hands everything on to the output and keeps the errno of the first write or flush that
// failed, read at once: by the time the run is over, later calls may have changed it.
class CauseKeepingBuffer final : public std::streambuf {
 public:
  explicit CauseKeepingBuffer(std::streambuf* output) : output_(output) {}
  int Cause() const { return cause_; }

 protected:
  std::streamsize xsputn(const char* text, std::streamsize n) override {
    errno = 0;
    const std::streamsize written = output_->sputn(text, n);
    if (written < n) {
      Failed();
    }
    return written;
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
      return traits_type::not_eof(c);
    }
    const char one = traits_type::to_char_type(c);
    return xsputn(&one, 1) == 1 ? c : traits_type::eof();
  }
  int sync() override {
    errno = 0;
    if (output_->pubsync() != 0) {
      Failed();
      return -1;
    }
    return 0;
  }

 private:
  void Failed() {
    if (cause_ == 0) {
      cause_ = errno;
    }
  }

  std::streambuf* output_;
  int cause_ = 0;
};

}  // namespace

std::string ShortNumber(double v) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}

// The window's two readings of the parameters, each value stored as soon as it is read.
void ReadParameters(const Options& o, sim::Drive& d) {
  d.Kamp = o.kamp;
  d.Tamp = o.tamp;
  d.Kmotor = o.mode == Mode::Accuracy ? sim::Store(sim::Ext(1) / o.kmotor) : static_cast<double>(o.kmotor);
  d.Tmotor = o.tmotor;
  d.Pitch = o.pitch;
  d.Kfb = o.kfb;
  if (o.mode == Mode::Accuracy) {
    d.Amplitude = o.amplitude + 1;
    d.Frequency = o.frequency;
  }
  sim::ComputeCoefficients(d);
}

ParseResult ParseOptions(const std::vector<std::string_view>& args) {
  ParseResult result;
  Options options;
  bool offsetGiven = false;
  bool harmonicGiven = false;
  std::vector<std::string_view> named;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (arg == "--help" || arg == "-h") {
      result.help = true;
      return result;
    }
    if (arg == "--version") {
      result.version = true;
      return result;
    }
    if (arg == "--measure" || arg == "--poles") {
      (arg == "--measure" ? options.measure : options.poles) = true;
      named.push_back(arg);
      continue;
    }
    std::string_view name = arg;
    std::optional<std::string_view> value;
    if (const auto eq = arg.find('='); eq != std::string_view::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    const OptionRule* rule = FindRule(name);
    if (rule == nullptr) {
      result.error = "unknown option " + Quoted(arg) + "; see --help";
      return result;
    }
    if (!value) {
      if (i + 1 >= args.size()) {
        result.error = std::string(rule->name) + " expects " + std::string(rule->expects) + ", and has no value";
        return result;
      }
      value = args[++i];
    }
    if (!rule->set(*value, options)) {
      result.error = std::string(rule->name) + " expects " + std::string(rule->expects) + ", not " + Quoted(*value);
      return result;
    }
    named.push_back(rule->name);
    offsetGiven |= rule->name == "--offset";
    harmonicGiven |= rule->name == "--amplitude" || rule->name == "--frequency";
  }
  if (result.error = MeasureConflict(options, named); !result.error.empty()) {
    return result;
  }
  if (result.error = PolesConflict(options, named); !result.error.empty()) {
    return result;
  }
  if (options.sweep) {
    options.mode = Mode::Accuracy;
  }
  if (options.mode == Mode::Accuracy && offsetGiven) {
    result.error = "--offset sets the marker of --mode stability; accuracy research moves it by the sine";
    return result;
  }
  if (options.mode == Mode::Stability && harmonicGiven) {
    result.error = "--amplitude and --frequency set the harmonic input of --mode accuracy";
    return result;
  }
  result.options = options;
  return result;
}

std::string Usage() {
  return R"(Usage: drivelab-sim [options]

Simulates the CNC feed drive's position loop cycle by cycle, as the drivelab window
does on each 10 ms tick (0.002 s of model time), and prints one CSV row per cycle:
cycle,SimTime,Command,x2,x1,x,CarriageX,ScrewPhase,TraceTime392,TracePreset392,TraceActual392,TraceError392

Research:
  --mode stability|accuracy  stability: a step command from the marker (default)
                             accuracy: a sine command
  --offset MM                stability: the marker's offset from the centre,
                             -68..69 (default 50)
  --amplitude N              accuracy: the amplitude spin edit, 0..50; the amplitude
                             used is N + 1 mm (default 0)
  --frequency N              accuracy: the frequency spin edit, 0..1000 rad/s (default 0)

Drive parameters (the window's defaults):
  --kamp X     converter-amplifier gain (100)
  --tamp X     converter-amplifier time constant, s (0.003)
  --kmotor X   the number typed in the motor box (0.75); accuracy research
               uses its reciprocal, as "Process" does
  --tmotor X   motor time constant, s (0.02)
  --pitch X    lead-screw pitch, mm (8)
  --kfb X      feedback coefficient, V/mm (0.2)

Output:
  --cycles N   cycles to run (default 500)
  --every K    print every K-th cycle (default 1)
  --measure    after the rows, a blank line and the run's figures as name,value,unit
               rows (step figures in stability research, harmonic ones in accuracy
               research, and the loop's stability)
  --sweep FROM:TO:COUNT
               accuracy research at COUNT frequencies from FROM to TO rad/s
               (0.1 <= FROM <= TO <= 1000, COUNT 1..1000), spaced logarithmically,
               each run from rest until its measurement is steady, for at most 300 s
               of model time (a point cut there is not steady; a figure never measured
               is left empty); prints one row per frequency instead of the cycles:
               frequency (rad/s),amplitude ratio,phase lag (deg),error amplitude (mm),steady,end stop
               where "end stop" says whether the carriage met an end stop in that run.
               A loop that is not stable is not swept.
  --poles      the closed loop's three poles instead of the cycles, one row each:
               pole,real (1/s),imaginary (rad/s), the real one first
  --locus FROM:TO:COUNT
               the root locus: the poles at COUNT gains evenly spaced from FROM to TO
               (0 <= FROM <= TO, COUNT 1..100000), one row per gain:
               Kamp,pole 1 real,pole 1 imaginary,pole 2 real,...,pole 3 imaginary
               --poles and --locus print no cycles: --offset, --amplitude, --frequency,
               --cycles, --every, --measure and --sweep are refused with them, and
               --kamp with --locus, which sets the gain
  --help       this text
  --version    the program's name and version

Exit status: 0 done; 1 a floating-point error (its message on stderr, the rows printed
before it stay) or output that could not be written (the cause on stderr); 2 bad options,
or a sweep of a loop that is not stable (the reason on stderr).
)";
}

int ReportingFloatErrors(std::ostream& out, std::ostream& err, const std::function<int()>& body) {
  try {
    return body();
  } catch (const sim::FloatError& e) {
    out.flush();
    err << e.what() << '\n';
    return 1;
  }
}

int Run(const Options& options, std::ostream& out, std::ostream& err) {
  if (options.sweep) {
    return RunSweep(options, out, err);
  }
  if (options.poles || options.locus) {
    return RunPoles(options, out, err);
  }
  sim::Drive d;
  sim::Measurements measurements;
  d.MarkerX = sim::MarkerCentre;
  sim::SetUpTimeBase(d);
  HeadlessHost host(options.mode);

  out << "cycle,SimTime,Command,x2,x1,x,CarriageX,ScrewPhase,"
         "TraceTime392,TracePreset392,TraceActual392,TraceError392\n";
  const int status = ReportingFloatErrors(out, err, [&] {
    if (options.mode == Mode::Stability) {
      d.MarkerX = sim::MarkerCentre + options.offset;
    }
    ReadParameters(options, d);
    if (options.mode == Mode::Stability) {
      measurements.BeginStep(d, options.offset);
    } else {
      measurements.BeginHarmonic(d);
    }
    for (std::int64_t cycle = 1; cycle <= options.cycles; ++cycle) {
      sim::Timer1Timer(d, host, options.measure ? &measurements : nullptr);
      if (cycle % options.every == 0) {
        WriteRow(out, cycle, d);
        if (!out) {
          return 1;  // the output is lost: Main says so
        }
      }
    }
    return 0;
  });
  if (status != 0) {
    return status;
  }
  if (options.measure) {
    WriteMeasurements(out, measurements);
  }
  return 0;
}

int Main(const std::vector<std::string_view>& args, std::ostream& output, std::ostream& err) {
  const ParseResult parsed = ParseOptions(args);
  if (!parsed.options && !parsed.help && !parsed.version) {
    err << "drivelab-sim: " << parsed.error << '\n';
    return 2;
  }
  CauseKeepingBuffer kept(output.rdbuf());
  std::ostream out(&kept);
  int status = 0;
  if (parsed.help) {
    out << Usage();
  } else if (parsed.version) {
    out << "drivelab-sim " << drivelab::Version << '\n';
  } else {
    status = Run(*parsed.options, out, err);
  }
  // A run whose rows never arrived is no success (a full disk, a closed pipe).
  if (!out.flush()) {
    err << "drivelab-sim: the output could not be written"
        << (kept.Cause() != 0 ? std::string(": ") + std::strerror(kept.Cause()) : std::string()) << '\n';
    return 1;
  }
  return status;
}

}  // namespace runner
