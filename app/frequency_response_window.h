// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The Frequency response window: a sweep of accuracy runs from the main window's present
// parameters and amplitude, run in a thread of its own (so that the main window's run keeps
// its pace) and shown as magnitude and phase against frequency on logarithmic axes, the
// simulated points beside the held closed loop's theory. Progress, the end and an error come
// back queued; Cancel, closing and the window's end stop the thread and wait for it.
// Modeless; closing it only hides it and cancels a sweep.
//
// Up to MaxKept finished sweeps can be kept beside the present one, to compare the response
// at another gain or feedback: each is drawn on both charts as a line through its measured
// points, under the present sweep, in a colour of its own, and named in the magnitude chart's
// legend by the settings in which the sweeps differ.

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/comparison.h"
#include "app/sweep_thread.h"
#include "chart/chart.h"
#include "chart/line_series.h"
#include "chart/point_series.h"
#include "platform/error_box.h"
#include "sim/frequency_sweep.h"
#include "sim/stability.h"

class FrequencyResponseWindow : public QWidget {
  Q_OBJECT

 public:
  // Reads the main window's texts into a drive as "Process" would; throws on a bad text.
  using DriveSource = std::function<sim::Drive()>;
  FrequencyResponseWindow(DriveSource source, QChar separator, QWidget* parent = nullptr);

  // Errors of this window, its charts and its saves are shown over this window; a test sets
  // its own reporter, nullptr gives the window's box back.
  void SetErrorReporter(platform::ErrorReporter* reporter);
  platform::ErrorReporter& Reporter() { return *reporter_; }

  // Does nothing while a sweep runs (its button is disabled then).
  void RunClick();
  // Returns once the sweep's thread has ended.
  void CancelClick();
  bool Running() const { return worker_ != nullptr; }
  // The running sweep's thread, nullptr when none runs.
  const QThread* Worker() const { return worker_; }
  // For tests: the sweeps run from now on wait after this many points until stopped.
  void HoldSweepsAfter(int points) { holdAfter_ = points; }
  // The sweep on the plot if it ran to its end, else nullptr.
  const sim::FrequencySweep* Finished() const { return ending_ == Ending::Complete ? shown_.get() : nullptr; }

  static constexpr int MaxKept = 4;
  // Okabe and Ito's orange, sky blue, bluish green and reddish purple: told apart by readers
  // of any colour vision, from each other and from the present sweep's red squares and blue
  // line (their blue and vermillion are too near those, their yellow too faint on white). The
  // green nearest the bandwidth mark is a curve beside a vertical line.
  static constexpr std::array<chart::TColor, MaxKept> KeptColors = {0x009FE6, 0xE9B456, 0x739E00, 0xA779CC};
  // Keeps the finished sweep on the plot for comparison; does nothing while KeepButton is
  // disabled (no finished sweep shown, MaxKept kept, or this very sweep kept already).
  void KeepClick();
  int KeptCount() const { return static_cast<int>(kept_.size()); }

  // The sweeps on the plot as CSV, one CRLF-ended row per point measured, the present sweep's
  // first, then each kept sweep's from the oldest: the sweep's label as the legend gives it
  // (in the window's decimal separator, quoted when it holds a comma), frequency, measured
  // ratio, dB, lag, theory ratio, dB, lag, steady, end stop, then on every row how the sweep
  // ended and its own settings and parameters; '.' decimals.
  std::string Csv() const;
  // The two charts one above the other, as shown, the legend included.
  QImage Picture();

  QLineEdit* FromEdit;
  QLineEdit* ToEdit;
  QSpinBox* CountEdit;
  QPushButton* RunButton;
  QPushButton* CancelButton;
  QPushButton* SaveCsvButton;
  QPushButton* SavePngButton;
  QPushButton* KeepButton;
  // Its menu lists the kept sweeps, each in its colour, to remove one, and "Remove all".
  QPushButton* RemoveKeptButton;
  QProgressBar* Progress;
  QLabel* Summary;
  chart::TChart* MagnitudeChart;
  chart::TChart* PhaseChart;

 signals:
  // A sweep ran to its end (not one cancelled).
  void SweepFinished();
  void SaveCsvRequested();
  void SavePngRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // How the sweep on the plot ended; all but Complete leave part of it unmeasured.
  enum class Ending { Complete, Cancelled, Error };

  template <class F>
  bool Guarded(F&& f) {
    return platform::RunGuarded(*reporter_, std::forward<F>(f));
  }
  void SetUpChart(chart::TChart* chart, const char* title, const char* axisTitle);
  // The thread has ended: what it measured goes on the plot, and its end is told.
  void SweepEnded();
  void Show(Ending ending);
  void Plot();
  void ClearCharts();
  // The charts' titles with a note after them, or plain without one.
  void MarkTitles(const QString& note);
  void ShowRunning(bool running);

  // A sweep set aside for comparison, with its own lines on the two charts.
  struct KeptSweep {
    std::shared_ptr<const sim::FrequencySweep> sweep;
    chart::TColor color;
    std::unique_ptr<chart::TLineSeries> magnitude, phase;
  };
  bool CanKeep() const;
  // Every kept sweep, or only the one at `index`.
  void RemoveKept(std::optional<std::size_t> index);
  // The present sweep has a point to save, and so a label and a place in the legend.
  bool PresentListed() const;
  // The labels of the kept sweeps, then the present one's when it is listed.
  QStringList Labels() const;
  // After a sweep is kept, removed, shown or cleared: labels, legend, menu, buttons and the
  // vertical axes.
  void ShowComparison();
  void FitCharts();
  // One CSV row per point of `sweep`, each starting with `label`.
  static std::string CsvRows(const sim::FrequencySweep& sweep, const std::string& label, const char* status);

  DriveSource source_;
  QChar separator_;
  std::unique_ptr<platform::MessageBoxReporter> errorBox_;
  platform::ErrorReporter* reporter_ = nullptr;
  // A child: the window's end stops it and waits for it.
  SweepThread* worker_ = nullptr;
  int holdAfter_ = -1;
  // Shared with its kept copy, which outlives it when a new sweep runs.
  std::shared_ptr<const sim::FrequencySweep> shown_;
  Ending ending_ = Ending::Complete;
  std::vector<KeptSweep> kept_;
  // Theory lines, measured markers, and the marks of the peak and the bandwidth.
  chart::TLineSeries magnitudeTheory_, phaseTheory_, bandwidthLine_;
  chart::TPointSeries magnitudePoints_, phasePoints_, peakPoint_;
};
