#pragma once
// The Frequency response window: a sweep of accuracy runs from the main window's present
// parameters and amplitude, run in a thread of its own (so that the main window's run keeps
// its pace) and shown as magnitude and phase against frequency on logarithmic axes, the
// simulated points beside the held closed loop's theory. Progress, the end and an error come
// back queued; Cancel, closing and the window's end stop the thread and wait for it.
// Modeless; closing it only hides it and cancels a sweep.

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

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

  // The points on the plot as CSV, one CRLF-ended row per point measured: frequency,
  // measured ratio, dB, lag, theory ratio, dB, lag, steady, end stop, then on every row how
  // the sweep ended and its own settings; '.' decimals.
  std::string Csv() const;
  // The two charts one above the other, as shown.
  QImage Picture();

  QLineEdit* FromEdit;
  QLineEdit* ToEdit;
  QSpinBox* CountEdit;
  QPushButton* RunButton;
  QPushButton* CancelButton;
  QPushButton* SaveCsvButton;
  QPushButton* SavePngButton;
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

  DriveSource source_;
  QChar separator_;
  std::unique_ptr<platform::MessageBoxReporter> errorBox_;
  platform::ErrorReporter* reporter_ = nullptr;
  // A child: the window's end stops it and waits for it.
  SweepThread* worker_ = nullptr;
  int holdAfter_ = -1;
  std::unique_ptr<sim::FrequencySweep> shown_;
  Ending ending_ = Ending::Complete;
  // Theory lines, measured markers, and the marks of the peak and the bandwidth.
  chart::TLineSeries magnitudeTheory_, phaseTheory_, bandwidthLine_;
  chart::TPointSeries magnitudePoints_, phasePoints_, peakPoint_;
};
