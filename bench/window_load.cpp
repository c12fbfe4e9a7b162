// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What the running program costs the student's machine: the main window on a real display
// (bench/window-load starts it under Xvfb), run by its own timer and event loop for a number
// of seconds, and then the process's processor time as a share of the wall time, and the
// ticks per second the window's timer achieved.
//
//   window_load --scenario NAME [--seconds N]
//
// Scenarios: idle (nothing started), paused (accuracy research, then "Pause"), accuracy
// (51 mm at 20 rad/s), stability (the marker released 40 mm aside), log (accuracy research
// at 1000 rad/s with the Measurements window open over a journal of 5,000 rows), sweep
// (accuracy research with a sweep of 1000 points from 0.1 rad/s running in the Frequency
// response window).
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/frequency_response_window.h"
#include "app/journal.h"
#include "app/measurements_window.h"
#include "platform/error_box.h"
#include "platform/fonts.h"

namespace {

double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void RunEventsFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

void StartAccuracy(TForm1& form, const char* frequency) {
  QTest::mouseClick(form.RadioButton2, Qt::LeftButton);
  form.SpinEdit1->setText(QStringLiteral("50"));
  form.SpinEdit2->setText(QString::fromLatin1(frequency));
  QTest::mouseClick(form.Button5, Qt::LeftButton);
}

// A journal of `count` rows as a class's semester might leave it: accuracy runs at many
// frequencies, each row a real run's figures.
void WriteJournal(const QString& folder, int count) {
  TForm1 scratch;
  StartAccuracy(scratch, "20");
  scratch.Timer1->stop();
  for (int i = 0; i < 400; ++i) {
    scratch.Timer1Timer();
  }
  sim::LogRecord row = scratch.Measured().Log().Records().back();
  std::vector<sim::LogRecord> rows;
  for (int i = 0; i < count; ++i) {
    row.harmonic->frequency = 1 + i % 997;
    row.harmonic->ratio = 1.0 / (1 + i % 13);
    rows.push_back(row);
  }
  app::LabStore(folder, QDir(folder).filePath(QStringLiteral("windows.ini"))).Save(rows);
}

}  // namespace

int main(int argc, char** argv) {
  std::string scenario = "accuracy";
  int seconds = 10;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--scenario") == 0) {
      scenario = argv[i + 1];
    } else if (std::strcmp(argv[i], "--seconds") == 0) {
      seconds = std::atoi(argv[i + 1]);
    }
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("drivelab"));
  QApplication::setStyle(QStringLiteral("Fusion"));
  platform::InstallFontSubstitutes();

  QTemporaryDir folder;
  if (scenario == "log") {
    WriteJournal(folder.path(), 5000);
  }
  app::LabStore store(folder.path(), QDir(folder.path()).filePath(QStringLiteral("windows.ini")));
  TForm1 form;
  TForm2 help;
  form.SetInstructionsWindow(&help);
  form.AttachStore(&store);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) {
    std::fprintf(stderr, "window_load: the window was never shown\n");
    return 1;
  }
  std::int64_t ticks = 0;
  QObject::connect(form.Timer1, &QTimer::timeout, [&ticks] { ++ticks; });

  if (scenario == "accuracy") {
    StartAccuracy(form, "20");
  } else if (scenario == "paused") {
    StartAccuracy(form, "20");
    RunEventsFor(500);
    QTest::mouseClick(form.Button2, Qt::LeftButton);
  } else if (scenario == "stability") {
    QTest::mousePress(form.Image2, Qt::LeftButton, {}, {108, 20});
    QTest::mouseMove(form.Image2, {148, 20});
    QTest::mouseRelease(form.Image2, Qt::LeftButton, {}, {148, 20});
  } else if (scenario == "log") {
    form.MenuMeasurements->trigger();
    StartAccuracy(form, "1000");
  } else if (scenario == "sweep") {
    StartAccuracy(form, "20");
    form.MenuFrequencyResponse->trigger();
    // From 0.1 rad/s the slow points take seconds each: the sweep outlasts the measurement.
    form.FrequencyForm->FromEdit->setText(QStringLiteral("0.1"));
    form.FrequencyForm->CountEdit->setValue(1000);
    QTest::mouseClick(form.FrequencyForm->RunButton, Qt::LeftButton);
  } else if (scenario != "idle") {
    std::fprintf(stderr, "window_load: no scenario '%s'\n", scenario.c_str());
    return 2;
  }
  RunEventsFor(1000);  // past the first paints and the start's allocations

  const std::int64_t ticks0 = ticks;
  const double cpu0 = ProcessorSeconds();
  QElapsedTimer wall;
  wall.start();
  RunEventsFor(seconds * 1000);
  const double elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9;
  const double cpu = ProcessorSeconds() - cpu0;
  std::printf("%s: cpu %.2f %% of a core, %.1f ticks/s, over %.1f s\n", scenario.c_str(), 100 * cpu / elapsed,
              static_cast<double>(ticks - ticks0) / elapsed, elapsed);
  if (scenario == "sweep" && !form.FrequencyForm->Running()) {
    std::printf("sweep: the sweep ended before the measurement did\n");
  }
  return 0;
}
