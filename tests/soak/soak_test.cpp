// A long random session on the real main window: 100,000 ticks in each research mode, with
// parameter sets good and bad typed in between, marker drags, mode switches, "Reset",
// "Pause", "Process", amplitude and frequency texts, and the mouse on the oscilloscope
// (zoom, scroll, wheel) while it repaints. Throughout: no crash or hang, no NaN or infinity
// in the drive, the traces or the axes, every error shown is the program's own message for
// what went wrong, the timer and the drag follow the program's rules, and the resident
// memory stays flat once the session has warmed up.
//
// The ticks are called directly with the timer stopped, so nothing waits for real time and
// a run replays exactly from its seed. The timer's state is still followed: it is started
// around each tick while the program would have it running, so that a failing tick can be
// seen to stop it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/Unit1.h"
#include "tests/support/random.h"
#include "tests/support/typed_integer.h"

namespace {

constexpr std::uint64_t kSeed = 20240917;
constexpr int kTicksPerMode = 100000;
// Caches, glyphs and buffers have all been met by then in either mode.
constexpr int kSteadyFromTick = 10000;
// Legitimate drift between the two readings is glibc keeping freed memory below its trim
// threshold (twice the largest block it gave back to the system, the chart's 430 KiB frame
// at most), heap fragmentation settling and page granularity: well under 1 MiB, and it
// levels off. 4 MiB is clear of that, while a leak of one small allocation per tick (48
// bytes) over the 90,000 and more ticks between the readings exceeds it.
constexpr long kMaxGrowthBytes = 4L * 1024 * 1024;
// Hang detector only: far beyond anything a tick or gesture takes.
constexpr int kStallSeconds = 120;

constexpr QChar kSeparator = u',';


long ResidentBytes() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  long size = 0;
  long resident = 0;
  if (statm != nullptr) {
    if (std::fscanf(statm, "%ld %ld", &size, &resident) != 2) {
      resident = 0;
    }
    std::fclose(statm);
  }
  return resident * sysconf(_SC_PAGESIZE);
}

class RecordingReporter final : public platform::ErrorReporter {
 public:
  void ShowError(const QString& message) override { messages_.push_back(message); }
  std::vector<QString> Take() { return std::exchange(messages_, {}); }

 private:
  std::vector<QString> messages_;
};

const QString kDivisionByZero = QStringLiteral("Floating point division by zero");
const QString kInvalidOperation = QStringLiteral("Invalid floating point operation");
const QString kOverflow = QStringLiteral("Floating point overflow");

bool IsFloatMessage(const QString& m) { return m == kDivisionByZero || m == kInvalidOperation || m == kOverflow; }

QString RealMessage(const QString& text) { return "'" + text + "' is not a valid floating point value"; }
QString IntegerMessage(const QString& text) { return "'" + text + "' is not a valid integer value"; }

// The first value of the drive state that is not finite, by name.
std::optional<std::string> NonFinite(const sim::Drive& d) {
  const std::pair<const char*, double> scalars[] = {
      {"Kamp", d.Kamp},     {"Tamp", d.Tamp},   {"Kmotor", d.Kmotor},   {"Tmotor", d.Tmotor},
      {"Pitch", d.Pitch},   {"Kfb", d.Kfb},     {"B0", d.B0},           {"A1", d.A1},
      {"A2", d.A2},         {"A3", d.A3},       {"Command", d.Command},  {"StepH", d.StepH},
      {"SimTime", d.SimTime}};
  for (const auto& [name, value] : scalars) {
    if (!std::isfinite(value)) {
      return std::string(name) + " = " + std::to_string(value);
    }
  }
  for (int i = 0; i < 3; ++i) {
    if (!std::isfinite(d.DriveState[i])) {
      return "DriveState[" + std::to_string(i) + "]";
    }
    if (!std::isfinite(d.DriveDeriv[i])) {
      return "DriveDeriv[" + std::to_string(i) + "]";
    }
  }
  const std::pair<const char*, const std::array<double, sim::TraceLength>*> traces[] = {
      {"TraceTime", &d.TraceTime}, {"TraceActual", &d.TraceActual},
      {"TracePreset", &d.TracePreset}, {"TraceError", &d.TraceError}};
  for (const auto& [name, trace] : traces) {
    for (int k = 0; k < sim::TraceLength; ++k) {
      if (!std::isfinite((*trace)[static_cast<std::size_t>(k)])) {
        return std::string(name) + "[" + std::to_string(k) + "]";
      }
    }
  }
  return std::nullopt;
}

std::optional<std::string> NonFiniteInChart(TForm1& form) {
  const std::pair<const char*, chart::TLineSeries*> series[] = {
      {"Series1", form.Series1.get()}, {"Series2", form.Series2.get()}, {"Series3", form.Series3.get()}};
  for (const auto& [name, s] : series) {
    if (s->XValues.Count() != s->YValues.Count() || s->Count() > sim::TraceLength) {
      return std::string(name) + " holds " + std::to_string(s->XValues.Count()) + " x and " +
             std::to_string(s->YValues.Count()) + " y values";
    }
    for (int i = 0; i < s->Count(); ++i) {
      if (!std::isfinite(s->XValues.ValueAt(i)) || !std::isfinite(s->YValues.ValueAt(i))) {
        return std::string(name) + " point " + std::to_string(i);
      }
    }
  }
  const std::pair<const char*, chart::TChartAxis*> axes[] = {{"LeftAxis", &form.Chart1->LeftAxis()},
                                                             {"RightAxis", &form.Chart1->RightAxis()},
                                                             {"TopAxis", &form.Chart1->TopAxis()},
                                                             {"BottomAxis", &form.Chart1->BottomAxis()}};
  for (const auto& [name, axis] : axes) {
    if (!std::isfinite(axis->Minimum()) || !std::isfinite(axis->Maximum())) {
      return std::string(name) + " range " + std::to_string(axis->Minimum()) + ".." + std::to_string(axis->Maximum());
    }
  }
  return std::nullopt;
}

// ------------------------------------------------------------------- parameter texts

enum class TextKind { Number, Unreadable, BeyondDouble };

struct ParameterText {
  QString text;
  TextKind kind = TextKind::Number;
  double value = 0;  // for numbers: near enough to tell zero and the reciprocal's range
};

ParameterText Number(const char* pointText, double value) {
  return {platform::WithSeparator(QString::fromLatin1(pointText), kSeparator), TextKind::Number, value};
}

// Edit1..Edit6 as the window starts: Kamp, Tamp, Kmotor, Tmotor, Pitch, Kfb.
const ParameterText kDefaults[6] = {Number("100", 100),  Number("0.003", 0.003), Number("0.75", 0.75),
                                    Number("0.02", 0.02), Number("8", 8),        Number("0.2", 0.2)};

enum class Category { Default, Moderate, Unstable, Zero, Tiny, Huge, Negative, BeyondDouble, Unreadable };

ParameterText MakeParameter(Random& rng, int box, Category category) {
  const ParameterText& standard = kDefaults[box];
  switch (category) {
    case Category::Default:
      return standard;
    case Category::Moderate: {
      const double factor = rng.Pick(std::vector<double>{0.5, 0.8, 1.25, 1.5, 2});
      const double value = standard.value * factor;
      return {QString::number(value, 'g', 6).replace(u'.', kSeparator), TextKind::Number, value};
    }
    case Category::Unstable:
      // A loop gain far too high: the carriage runs into the stops and the state grows
      // until it overflows.
      if (box == 0) {
        return Number("5000", 5000);
      }
      if (box == 5) {
        return Number("10", 10);
      }
      return standard;
    case Category::Zero:
      return rng.Pick(std::vector<ParameterText>{Number("0", 0), Number("0.0", 0), Number("-0", -0.0),
                                                 Number(".0", 0)});
    case Category::Tiny:
      return rng.Pick(std::vector<ParameterText>{Number("1e-300", 1e-300), Number("-1E-300", -1e-300),
                                                 Number("0.000001", 1e-6), Number("1e-310", 1e-310),
                                                 Number("5e-324", 5e-324)});
    case Category::Huge:
      return rng.Pick(std::vector<ParameterText>{Number("1e300", 1e300), Number("-1e300", -1e300),
                                                 Number("1.7e308", 1.7e308), Number("1e200", 1e200)});
    case Category::Negative: {
      ParameterText negative = standard;
      negative.text.prepend(u'-');
      negative.value = -negative.value;
      return negative;
    }
    case Category::BeyondDouble: {
      ParameterText text = rng.Pick(std::vector<ParameterText>{Number("1e400", 0), Number("-2e308", 0),
                                                               Number("1.8e308", 0)});
      text.kind = TextKind::BeyondDouble;
      return text;
    }
    case Category::Unreadable: {
      // The other separator, letters, blanks inside, two separators, a bare exponent...
      static const std::vector<QString> texts = {
          QString(),          QStringLiteral(" "),    QStringLiteral("abc"),  QStringLiteral("0.003"),
          QStringLiteral("8 mm"), QStringLiteral("1,2,3"), QStringLiteral("1e"), QStringLiteral("--1"),
          QStringLiteral("1 000"), QStringLiteral("e5"), QStringLiteral("0x10"), QStringLiteral("inf"),
          QStringLiteral("NaN"), QStringLiteral("1.000,5"), QStringLiteral("+-2")};
      return {rng.Pick(texts), TextKind::Unreadable, 0};
    }
  }
  return standard;
}

Category RandomCategory(Random& rng) {
  // Mostly numbers the drive can run on, so that long stretches of simulation happen.
  static const std::vector<Category> weighted = {
      Category::Default, Category::Default, Category::Default, Category::Moderate, Category::Moderate,
      Category::Unstable, Category::Zero, Category::Tiny, Category::Huge, Category::Negative,
      Category::BeyondDouble, Category::Unreadable};
  return rng.Pick(weighted);
}

bool Ordinary(const ParameterText& p) {
  return p.kind == TextKind::Number && std::fabs(p.value) > 1e-10 && std::fabs(p.value) < 1e10;
}


// What a reading must end with.
struct Expectation {
  enum Kind { Succeeds, MayFailInFloatingPoint, FailsWith } kind = Succeeds;
  QString message;
};

// ------------------------------------------------------------------------------ driver

struct Statistics {
  std::map<std::string, long> counts;
  void Add(const std::string& what) { ++counts[what]; }
};

// QTest takes the point (0, 0) for "the widget's centre"; the row below stands in for it.
QPoint NotNull(QPoint p) { return p.isNull() ? QPoint(0, 1) : p; }

std::string Where(QPoint p) { return QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y()).toStdString(); }

std::string ButtonName(Qt::MouseButton button) {
  return button == Qt::LeftButton ? "the left button" : button == Qt::RightButton ? "the right button" : "the middle button";
}

std::atomic<long> g_progress{0};
std::atomic<int> g_phase{0};
std::atomic<long> g_step{0};

class SoakDriver {
 public:
  SoakDriver(TForm1& form, RecordingReporter& reporter, std::uint64_t seed) : form_(form), reporter_(reporter), rng_(seed) {
    for (int b = 0; b < 6; ++b) {
      params_[static_cast<std::size_t>(b)] = kDefaults[b];
    }
  }

  // Runs until the mode has had kTicksPerMode ticks while selected; returns false after a
  // failure that makes going on pointless.
  bool RunPhase(bool accuracy) {
    phaseAccuracy_ = accuracy;
    if (Accuracy() != accuracy) {
      SwitchMode(accuracy);
    }
    int phaseTicks = 0;
    long residentAtSteady = 0;
    const auto started = std::chrono::steady_clock::now();
    while (phaseTicks < kTicksPerMode) {
      ++step_;
      g_step = step_;
      if (pending_.empty()) {
        if (Accuracy() != phaseAccuracy_ && excursionLeft_ <= 0) {
          Act([this] { SwitchMode(phaseAccuracy_); });
        } else if (rng_.OneIn(9)) {
          Act([this] { StartAction(); });
        }
      }
      // A gesture goes on over several ticks, half the time one step per tick.
      while (!pending_.empty()) {
        auto next = std::move(pending_.front());
        pending_.pop_front();
        Act(next);
        if (rng_.OneIn(2)) {
          break;
        }
      }
      const bool tickedInPhaseMode = Accuracy() == phaseAccuracy_;
      Tick();
      if (tickedInPhaseMode) {
        ++phaseTicks;
        if (phaseTicks == kSteadyFromTick) {
          residentAtSteady = ResidentBytes();
        }
      } else {
        --excursionLeft_;
      }
      if (ticks_ % 4 == 0) {
        Paint();
      }
      ++g_progress;
      if (failures_ > 20) {
        ADD_FAILURE() << "giving up after " << failures_ << " failures";
        return false;
      }
    }
    const long residentAtEnd = ResidentBytes();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const char* name = accuracy ? "accuracy" : "stability";
    std::printf("[soak] %s research: %d ticks in %.1f s; resident memory at tick %d: %ld KiB, at tick %d: %ld KiB (%+ld KiB)\n",
                name, phaseTicks, seconds, kSteadyFromTick, residentAtSteady / 1024, kTicksPerMode,
                residentAtEnd / 1024, (residentAtEnd - residentAtSteady) / 1024);
    std::fflush(stdout);
    EXPECT_LT(residentAtEnd - residentAtSteady, kMaxGrowthBytes)
        << name << " research: resident memory grew from " << residentAtSteady << " to " << residentAtEnd
        << " bytes between tick " << kSteadyFromTick << " and tick " << kTicksPerMode << " (seed " << kSeed << ")";
    return true;
  }

  const Statistics& Stats() const { return stats_; }
  long Ticks() const { return ticks_; }

 private:
  bool Accuracy() const { return form_.RadioButton2->isChecked(); }
  const sim::Drive& D() const { return form_.Drive(); }

  void Began(std::string what) {
    lastAction_ = what;
    // Ticks and paints in a row are told as one entry.
    if (!history_.empty() && history_.back().rfind(what, 0) == 0 && (what == "a tick" || what == "a paint")) {
      const std::size_t x = history_.back().find(" x");
      const int n = x == std::string::npos ? 1 : std::stoi(history_.back().substr(x + 2));
      history_.back() = what + " x" + std::to_string(n + 1);
      return;
    }
    history_.push_back(std::move(what));
    if (history_.size() > 12) {
      history_.pop_front();
    }
  }

  void Fail(const std::string& what) {
    std::string recent;
    for (const std::string& h : history_) {
      recent += "\n    " + h;
    }
    ADD_FAILURE() << "seed " << kSeed << ", step " << step_ << ", tick " << ticks_ << " ("
                  << (Accuracy() ? "accuracy" : "stability") << " research), after " << lastAction_ << ": " << what
                  << "\n  recent steps, oldest first:" << recent;
    ++failures_;
  }

  // Every message shown since the last call must be a floating-point one.
  void ExpectOnlyFloatMessages(const std::vector<QString>& messages) {
    for (const QString& m : messages) {
      if (!IsFloatMessage(m)) {
        Fail("unexpected message \"" + m.toStdString() + "\"");
      }
    }
  }

  void ExpectNoMessages() {
    for (const QString& m : reporter_.Take()) {
      Fail("a message where none belongs: \"" + m.toStdString() + "\"");
    }
  }

  void CheckState() {
    if (const auto bad = NonFinite(D())) {
      Fail("not finite in the drive: " + *bad);
    }
    if (const auto bad = NonFiniteInChart(form_)) {
      Fail("not finite in the chart: " + *bad);
    }
    if (D().MarkerX < 40 || D().MarkerX > 177) {
      Fail("MarkerX " + std::to_string(D().MarkerX));
    }
    if (D().ScrewPhase < -14 || D().ScrewPhase > 14) {
      Fail("ScrewPhase " + std::to_string(D().ScrewPhase));
    }
  }

  // The timer runs only inside an action or a tick, where the program would have it
  // running; between them it is stopped, so that no real tick ever fires.
  // An exception must never get past the program's own handlers into Qt; here it is
  // caught where it surfaces, to name the step.
  template <class F>
  void Act(F&& action) {
    if (running_) {
      form_.Timer1->start();
    }
    try {
      action();
    } catch (const std::exception& e) {
      Fail(std::string("an exception escaped into Qt: ") + e.what());
    }
    running_ = form_.Timer1->isActive();
    form_.Timer1->stop();
  }

  // --------------------------------------------------------------------------- ticks

  void Tick() {
    const bool wasRunning = running_;
    ++ticks_;
    Began("a tick");
    Act([this] { form_.Timer1Timer(); });
    const std::vector<QString> messages = reporter_.Take();
    ExpectOnlyFloatMessages(messages);
    if (messages.size() > 1) {
      Fail("one tick showed " + std::to_string(messages.size()) + " errors");
    }
    if (!messages.empty()) {
      stats_.Add("ticks failing: " + messages.front().toStdString());
      if (running_) {
        Fail("a failing tick left the timer running");
      }
    } else if (running_ != wasRunning) {
      Fail("a tick changed the timer");
    }
    stats_.Add(running_ ? "ticks while running" : "ticks while stopped");
    CheckState();
  }

  void Paint() {
    Began("a paint");
    const int before = form_.Chart1->FullDrawCount();
    form_.Chart1->Invalidate();
    const bool viaEventLoop = rng_.OneIn(2);
    Act([viaEventLoop, this] {
      if (viaEventLoop) {
        QApplication::processEvents();
      } else {
        form_.Chart1->repaint();
      }
    });
    if (form_.Chart1->FullDrawCount() == before) {
      Fail("the chart was not drawn");
    }
    stats_.Add("chart paints");
    ExpectNoMessages();
  }

  // ------------------------------------------------------------------------- actions

  void StartAction() {
    const bool accuracy = Accuracy();
    enum Action { Parameters, TypeParameters, Drag, Hover, Reset, Pause, Process, Spin, Mode, Zoom, Scroll, Wheel };
    static const std::vector<Action> stability = {Parameters, Parameters, Parameters, TypeParameters, Drag, Drag,
                                                  Drag,       Drag,       Hover,      Reset,          Reset, Pause,
                                                  Pause,      Mode,       Zoom,       Zoom,           Scroll, Scroll,
                                                  Wheel,      Wheel};
    static const std::vector<Action> accuracyActions = {Parameters, Parameters, TypeParameters, Process, Process,
                                                        Process,    Process,    Spin,           Spin,    Spin,
                                                        Drag,       Hover,      Reset,          Pause,   Pause,
                                                        Mode,       Zoom,       Zoom,           Scroll,  Scroll,
                                                        Wheel,      Wheel};
    switch (rng_.Pick(accuracy ? accuracyActions : stability)) {
      case Parameters:
        NewParameters(false);
        break;
      case TypeParameters:
        NewParameters(true);
        break;
      case Drag:
        MarkerDrag();
        break;
      case Hover:
        MarkerHover();
        break;
      case Reset:
        ClickReset();
        break;
      case Pause:
        ClickPause();
        break;
      case Process:
        if (rng_.OneIn(2)) {
          NewSpinTexts();
        }
        ClickProcess();
        break;
      case Spin:
        NewSpinTexts();
        break;
      case Mode:
        excursionLeft_ = rng_.Between(0, 400);
        SwitchMode(!accuracy);
        break;
      case Zoom:
        ChartDrag(Qt::LeftButton);
        break;
      case Scroll:
        ChartDrag(rng_.OneIn(8) ? Qt::MiddleButton : Qt::RightButton);
        break;
      case Wheel:
        ChartWheel();
        break;
    }
  }

  QLineEdit* Edit(int box) const {
    QLineEdit* edits[] = {form_.Edit1, form_.Edit2, form_.Edit3, form_.Edit4, form_.Edit5, form_.Edit6};
    return edits[box];
  }

  void NewParameters(bool typed) {
    Began(typed ? "typing a parameter set" : "a new parameter set");
    const int shape = rng_.Below(8);
    for (int b = 0; b < 6; ++b) {
      Category category = Category::Default;
      if (shape == 1) {
        category = b == 0 ? Category::Unstable : Category::Default;
      } else if (shape == 2 || shape == 3) {
        category = RandomCategory(rng_);
      } else if (shape >= 4) {
        category = rng_.OneIn(6) ? RandomCategory(rng_) : Category::Default;
      }
      params_[static_cast<std::size_t>(b)] = MakeParameter(rng_, b, category);
      const QString& text = params_[static_cast<std::size_t>(b)].text;
      if (typed) {
        QLineEdit* edit = Edit(b);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
      } else {
        Edit(b)->setText(text);
      }
      if (Edit(b)->text() != text) {
        Fail("Edit" + std::to_string(b + 1) + " holds " + Edit(b)->text().toStdString() + " after typing " +
             text.toStdString());
      }
    }
    stats_.Add("parameter sets");
    ExpectNoMessages();
  }

  // The end of a reading of the six boxes (and, for "Process", the two spin edits).
  Expectation ExpectedReading(bool accuracy) const {
    bool ordinary = true;
    for (int b = 0; b < 6; ++b) {
      const ParameterText& p = params_[static_cast<std::size_t>(b)];
      if (p.kind == TextKind::Unreadable) {
        return {Expectation::FailsWith, RealMessage(p.text)};
      }
      if (p.kind == TextKind::BeyondDouble) {
        return {Expectation::FailsWith, kOverflow};
      }
      if (accuracy && b == 2) {
        if (p.value == 0) {
          return {Expectation::FailsWith, kDivisionByZero};
        }
        if (!std::isfinite(static_cast<double>(1.0L / p.value))) {
          return {Expectation::FailsWith, kOverflow};
        }
      }
      ordinary = ordinary && Ordinary(p);
    }
    if (accuracy) {
      for (platform::TSpinEdit* spin : {form_.SpinEdit1, form_.SpinEdit2}) {
        if (!TypedInteger(spin->text())) {
          return {Expectation::FailsWith, IntegerMessage(spin->text())};
        }
      }
    }
    // The coefficients of ordinary values are ordinary; extreme ones may fail to compute.
    return {ordinary ? Expectation::Succeeds : Expectation::MayFailInFloatingPoint, {}};
  }

  // Checks the messages of a reading against the expectation; true when it succeeded.
  bool CheckReading(const Expectation& expected, const char* what) {
    const std::vector<QString> messages = reporter_.Take();
    if (messages.size() > 1) {
      Fail(std::string(what) + " showed " + std::to_string(messages.size()) + " errors");
    }
    const QString shown = messages.empty() ? QString() : messages.front();
    switch (expected.kind) {
      case Expectation::FailsWith:
        if (shown != expected.message) {
          Fail(std::string(what) + " showed \"" + shown.toStdString() + "\", expected \"" +
               expected.message.toStdString() + "\"");
        }
        break;
      case Expectation::MayFailInFloatingPoint:
        if (!messages.empty() && !IsFloatMessage(shown)) {
          Fail(std::string(what) + " showed \"" + shown.toStdString() + "\"");
        }
        break;
      case Expectation::Succeeds:
        if (!messages.empty()) {
          Fail(std::string(what) + " of ordinary values showed \"" + shown.toStdString() + "\"");
        }
        break;
    }
    stats_.Add(std::string(what) + (messages.empty() ? " read" : " failed: " + shown.left(40).toStdString()));
    return messages.empty();
  }

  QPoint StripPoint(bool inside) {
    if (inside) {
      return NotNull({rng_.Between(0, 216), rng_.Between(0, 40)});
    }
    return NotNull({rng_.Between(-150, 370), rng_.Between(-60, 100)});
  }

  // A press on the strip, some moves (inside it and beyond), a release; spread over ticks.
  void MarkerDrag() {
    const Qt::MouseButton button = rng_.OneIn(6) ? Qt::RightButton : Qt::LeftButton;
    const QPoint press = StripPoint(true);
    pending_.push_back([this, button, press] {
      Began("a press on the marker strip at " + Where(press) + " with " + ButtonName(button));
      const bool draggingBefore = D().Dragging;
      const int markerBefore = D().MarkerX;
      QTest::mousePress(form_.Image2, button, {}, press);
      if (D().Dragging != (draggingBefore || !Accuracy())) {
        Fail("the press left Dragging " + std::to_string(D().Dragging));
      }
      if (D().MarkerX != markerBefore) {
        Fail("the press moved the marker");
      }
      ExpectNoMessages();
    });
    QPoint last = press;
    for (int n = rng_.Below(6); n > 0; --n) {
      last = StripPoint(!rng_.OneIn(4));
      pending_.push_back([this, button, last] {
        Began("a move over the marker strip to " + Where(last));
        MarkerMove(button, last);
      });
    }
    const QPoint release = rng_.OneIn(3) ? StripPoint(!rng_.OneIn(3)) : last;
    pending_.push_back([this, button, release] {
      Began("a release on the marker strip at " + Where(release));
      const bool draggingBefore = D().Dragging;
      const bool wasRunning = form_.Timer1->isActive();
      const bool delivered = button == Qt::LeftButton || form_.Image2->rect().contains(release);
      const Expectation expected = ExpectedReading(false);
      QTest::mouseRelease(form_.Image2, button, {}, release);
      if (!delivered) {
        ExpectNoMessages();
        if (D().Dragging != draggingBefore || form_.Timer1->isActive() != wasRunning) {
          Fail("a release off the strip without capture changed Dragging or the timer");
        }
        return;
      }
      if (CheckReading(expected, "marker release")) {
        if (D().Dragging) {
          Fail("a release that read the parameters left Dragging set");
        }
        // A drag under way starts the run; a release without one leaves the timer alone.
        if (form_.Timer1->isActive() != (draggingBefore || wasRunning)) {
          Fail("the release left the timer " + std::string(form_.Timer1->isActive() ? "running" : "stopped"));
        }
      } else {
        if (D().Dragging != draggingBefore) {
          Fail("a failed release changed Dragging");
        }
        if (form_.Timer1->isActive() != wasRunning) {
          Fail("a failed release changed the timer");
        }
      }
    });
    stats_.Add(button == Qt::LeftButton ? "marker drags" : "marker right drags");
  }

  void MarkerMove(Qt::MouseButton button, QPoint at) {
    const bool dragging = D().Dragging;
    const int markerBefore = D().MarkerX;
    const bool delivered = button == Qt::LeftButton || form_.Image2->rect().contains(at);
    QTest::mouseMove(form_.Image2, at);
    const int expected = dragging && delivered ? std::clamp(at.x(), 40, 177) : markerBefore;
    if (D().MarkerX != expected) {
      Fail("a move to x " + std::to_string(at.x()) + " left MarkerX " + std::to_string(D().MarkerX) + ", expected " +
           std::to_string(expected));
    }
    ExpectNoMessages();
  }

  // Moves with no button held: they move the marker only while a failed release has left
  // the drag under way.
  void MarkerHover() {
    Began("moves over the strip with no button");
    for (int n = rng_.Between(1, 4); n > 0; --n) {
      const QPoint at = StripPoint(true);
      const bool dragging = D().Dragging;
      const int markerBefore = D().MarkerX;
      QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(form_.Image2->mapToGlobal(at)), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(form_.Image2, &move);
      const int expected = dragging ? std::clamp(at.x(), 40, 177) : markerBefore;
      if (D().MarkerX != expected) {
        Fail("a hover to x " + std::to_string(at.x()) + " left MarkerX " + std::to_string(D().MarkerX));
      }
      if (dragging) {
        stats_.Add("hover moves dragging the marker after a failed release");
      }
    }
    stats_.Add("hovers");
    ExpectNoMessages();
  }

  void ExpectAtRest(const char* what) {
    if (form_.Timer1->isActive()) {
      Fail(std::string(what) + " left the timer running");
    }
    if (D().MarkerX != 108 || D().Command != 0 || D().CarriageX != 0) {
      Fail(std::string(what) + " left the marker, command or carriage off centre");
    }
    for (chart::TLineSeries* s : {form_.Series1.get(), form_.Series2.get(), form_.Series3.get()}) {
      if (s->Count() != 0) {
        Fail(std::string(what) + " left points in a series");
      }
    }
  }

  void ClickReset() {
    Began("\"Reset\"");
    QTest::mouseClick(form_.Button4, Qt::LeftButton);
    ExpectAtRest("\"Reset\"");
    stats_.Add("resets");
    ExpectNoMessages();
  }

  void ClickPause() {
    Began("\"Pause\"");
    QTest::mouseClick(form_.Button2, Qt::LeftButton);
    if (form_.Timer1->isActive()) {
      Fail("\"Pause\" left the timer running");
    }
    stats_.Add("pauses");
    ExpectNoMessages();
  }

  // A text for a spin edit as typing can leave it: in the limits, beyond them, or no integer.
  QString SpinText(const platform::TSpinEdit& spin) {
    const int max = spin.MaxValue();
    const QString separator(spin.DecimalSeparator());
    switch (rng_.Below(6)) {
      case 0:
      case 1:
        return QString::number(rng_.Between(0, max));
      case 2:
        return QString::number(rng_.OneIn(2) ? rng_.Between(max + 1, 100000) : -rng_.Between(1, 100));
      case 3:
        return QStringLiteral("00") + QString::number(rng_.Between(0, 9));
      case 4:
        return rng_.Pick(std::vector<QString>{QString(), "2" + separator + "5", QStringLiteral("+"), QStringLiteral("-"),
                                              QStringLiteral("1-2"), QStringLiteral("99999999999"), separator});
      default:
        return QStringLiteral("+") + QString::number(rng_.Between(0, max));
    }
  }

  void NewSpinTexts() {
    Began("amplitude and frequency texts");
    for (platform::TSpinEdit* spin : {form_.SpinEdit1, form_.SpinEdit2}) {
      if (rng_.OneIn(3)) {
        continue;
      }
      const QString text = SpinText(*spin);
      spin->setFocus();
      if (!spin->hasFocus()) {
        Fail(spin->objectName().toStdString() + " did not take the focus");
      }
      if (rng_.OneIn(2)) {
        QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(spin, Qt::Key_Delete);
        QTest::keyClicks(spin, text);
      } else {
        spin->setText(text);
      }
      if (spin->text() != text) {
        Fail(spin->objectName().toStdString() + " holds " + spin->text().toStdString() + " after " + text.toStdString());
      }
    }
    stats_.Add("spin texts");
    ExpectNoMessages();
  }

  void ClickProcess() {
    Began("\"Process\"");
    const bool wasRunning = form_.Timer1->isActive();
    // The click takes the focus from a spin edit first, which pulls its number into range.
    QTest::mousePress(form_.Button5, Qt::LeftButton);
    for (platform::TSpinEdit* spin : {form_.SpinEdit1, form_.SpinEdit2}) {
      const auto value = TypedInteger(spin->text());
      if (value && (*value < 0 || *value > spin->MaxValue())) {
        Fail(spin->objectName().toStdString() + " kept " + spin->text().toStdString() + " outside its limits");
      }
    }
    const Expectation expected = ExpectedReading(true);
    QTest::mouseRelease(form_.Button5, Qt::LeftButton);
    if (CheckReading(expected, "\"Process\"")) {
      if (!form_.Timer1->isActive()) {
        Fail("\"Process\" left the timer stopped");
      }
      if (D().Amplitude < 1 || D().Amplitude > 51 || D().Frequency < 0 || D().Frequency > 1000) {
        Fail("\"Process\" read amplitude " + std::to_string(D().Amplitude) + " and frequency " +
             std::to_string(D().Frequency));
      }
    } else if (form_.Timer1->isActive() != wasRunning) {
      Fail("a failed \"Process\" changed the timer");
    }
  }

  void SwitchMode(bool accuracy) {
    Began(accuracy ? "selecting accuracy research" : "selecting stability research");
    QRadioButton* radio = accuracy ? form_.RadioButton2 : form_.RadioButton1;
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    if (Accuracy() != accuracy) {
      Fail("the click did not select the research mode");
      radio->setChecked(true);
    }
    ExpectAtRest(accuracy ? "selecting accuracy research" : "selecting stability research");
    if (form_.Panel2->isHidden() == accuracy || form_.Button5->isHidden() == accuracy) {
      Fail("the harmonic group and \"Process\" do not follow the mode");
    }
    stats_.Add("mode switches");
    ExpectNoMessages();
  }

  QPoint ChartPoint() {
    const QSize size = form_.Chart1->size();
    if (rng_.OneIn(6)) {
      return NotNull({rng_.Between(-60, size.width() + 60), rng_.Between(-60, size.height() + 60)});
    }
    return NotNull({rng_.Between(0, size.width() - 1), rng_.Between(0, size.height() - 1)});
  }

  // Left: zoom to the band or undo; right: scroll; middle: nothing. Spread over ticks, so
  // the band and the scrolled axes meet the repaints of a running chart.
  void ChartDrag(Qt::MouseButton button) {
    const QPoint press = ChartPoint();
    pending_.push_back([this, button, press] {
      Began("a press on the chart at " + Where(press) + " with " + ButtonName(button));
      QTest::mousePress(form_.Chart1, button, {}, press);
      ExpectNoMessages();
      CheckState();
    });
    QPoint last = press;
    for (int n = rng_.Between(1, 6); n > 0; --n) {
      // Short moves too: under 17 pixels a zoom is ignored.
      last = rng_.OneIn(3) ? NotNull(last + QPoint(rng_.Between(-20, 20), rng_.Between(-20, 20))) : ChartPoint();
      pending_.push_back([this, last] {
        Began("a drag over the chart to " + Where(last));
        QTest::mouseMove(form_.Chart1, last);
        ExpectNoMessages();
        CheckState();
      });
    }
    pending_.push_back([this, button, last] {
      Began("a release on the chart at " + Where(last));
      QTest::mouseRelease(form_.Chart1, button, {}, last);
      // Zooming and scrolling fix the time axis; an undo makes it follow the traces again.
      stats_.Add(form_.Chart1->BottomAxis().Automatic() ? "chart releases, time axis automatic"
                                                        : "chart releases, time axis fixed");
      ExpectNoMessages();
      CheckState();
    });
    stats_.Add(button == Qt::LeftButton ? "chart left drags" : button == Qt::RightButton ? "chart right drags"
                                                                                          : "chart middle drags");
  }

  void ChartWheel() {
    Began("the wheel on the chart");
    for (int n = rng_.Between(1, 5); n > 0; --n) {
      const QPoint at = ChartPoint();
      const int delta = rng_.Pick(std::vector<int>{120, -120, 240, -240, 60, -60, 30});
      QWheelEvent wheel(QPointF(at), QPointF(form_.Chart1->mapToGlobal(at)), QPoint(0, 0), QPoint(0, delta),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(form_.Chart1, &wheel);
    }
    stats_.Add("wheel turns");
    ExpectNoMessages();
    CheckState();
  }

  TForm1& form_;
  RecordingReporter& reporter_;
  Random rng_;
  std::array<ParameterText, 6> params_;
  std::deque<std::function<void()>> pending_;
  bool phaseAccuracy_ = false;
  int excursionLeft_ = 0;
  bool running_ = false;  // whether the program would have the timer running
  long step_ = 0;
  long ticks_ = 0;
  int failures_ = 0;
  std::string lastAction_ = "the start";
  std::deque<std::string> history_;
  Statistics stats_;
};

// Aborts with the place it stopped at when the soak makes no progress for minutes: a hang
// should fail loudly, not wait for the test runner's time-out.
class Watchdog {
 public:
  Watchdog()
      : thread_([this] {
          long seen = -1;
          int still = 0;
          while (!done_) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            const long now = g_progress;
            still = now == seen ? still + 1 : 0;
            seen = now;
            if (still >= kStallSeconds) {
              std::fprintf(stderr, "[soak] no progress for %d s at step %ld, phase %d (seed %llu)\n", kStallSeconds,
                           g_step.load(), g_phase.load(), static_cast<unsigned long long>(kSeed));
              std::abort();
            }
          }
        }) {}
  ~Watchdog() {
    done_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Qt's warnings are counted and the first few shown, so a flood cannot hide the result.
std::map<std::string, long> g_warnings;
void CountWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) {
    return;
  }
  const std::string text = message.toStdString();
  if (++g_warnings[text] == 1 && g_warnings.size() <= 10) {
    std::fprintf(stderr, "[soak] Qt: %s\n", text.c_str());
  }
}

TEST(Soak, MainWindowThroughALongRandomSessionInBothModes) {
  std::printf("[soak] seed %llu, %d ticks per research mode\n", static_cast<unsigned long long>(kSeed), kTicksPerMode);
  std::fflush(stdout);
  const auto started = std::chrono::steady_clock::now();
  Watchdog watchdog;
  const QtMessageHandler previous = qInstallMessageHandler(CountWarnings);

  RecordingReporter reporter;
  TForm1 form(kSeparator);
  form.SetErrorReporter(&reporter);
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.Timer1->stop();

  SoakDriver driver(form, reporter, kSeed);
  g_phase = 1;
  if (driver.RunPhase(false)) {
    g_phase = 2;
    driver.RunPhase(true);
  }

  qInstallMessageHandler(previous);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("[soak] %ld ticks in all (excursions into the other mode included), %.1f s\n", driver.Ticks(), seconds);
  for (const auto& [what, count] : driver.Stats().counts) {
    std::printf("[soak]   %-60s %ld\n", what.c_str(), count);
  }
  for (const auto& [text, count] : g_warnings) {
    std::printf("[soak]   Qt warning x%ld: %s\n", count, text.c_str());
  }
  std::fflush(stdout);

  // The session must have met what it is meant to: failing and succeeding readings, ticks
  // that fail in floating point, drags, zooms and scrolls.
  const auto count = [&](const std::string& prefix) {
    long n = 0;
    for (const auto& [what, c] : driver.Stats().counts) {
      n += what.rfind(prefix, 0) == 0 ? c : 0;
    }
    return n;
  };
  EXPECT_GT(count("marker release read"), 100);
  EXPECT_GT(count("marker release failed"), 100);
  EXPECT_GT(count("\"Process\" read"), 100);
  EXPECT_GT(count("\"Process\" failed: '"), 10);
  EXPECT_GT(count("ticks failing"), 100);
  EXPECT_GT(count("ticks while running"), 10000);
  EXPECT_GT(count("chart left drags"), 100);
  EXPECT_GT(count("chart right drags"), 100);
  EXPECT_GT(count("chart releases, time axis fixed"), 100);
  EXPECT_GT(count("chart releases, time axis automatic"), 100);
}

}  // namespace
