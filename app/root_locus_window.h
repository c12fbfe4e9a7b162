// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The Root locus window: the closed loop's three poles in the complex plane as the amplifier
// gain grows from 0, the other five parameters as the main window last read them, at equal
// scale on both axes. The branches are blue where the loop settles and red past the
// imaginary axis; crosses mark the open loop's poles, filled dots the poles at the present
// gain, squares the crossing at the critical gain, and faint rays the lines of constant
// damping. Pointing at a branch reads its gain, damping ratio and natural frequency; a click
// offers that gain to the main window. Modeless; closing it only hides it.

#include <QLabel>
#include <QWidget>
#include <complex>
#include <optional>
#include <vector>

#include "chart/chart.h"
#include "chart/line_series.h"
#include "chart/point_series.h"
#include "sim/root_locus.h"

namespace app {

// A rectangle of the complex plane: real part across, imaginary part up.
struct PlaneBox {
  double left = 0, right = 0, bottom = 0, top = 0;
};

// The smallest box around `data`, with it in the middle, that shows as many units per pixel
// across a plot of width x height pixels as down it.
PlaneBox EqualScale(const PlaneBox& data, int width, int height);

// A gain as the Gain box takes it: four significant digits, no exponent, the window's
// separator.
QString GainText(double gain, QChar separator);

}  // namespace app

class RootLocusWindow : public QWidget {
  Q_OBJECT

 public:
  explicit RootLocusWindow(QChar separator, QWidget* parent = nullptr);

  // The parameters the drive was read with: the locus is drawn for the other five up to
  // three times the critical gain, and the present poles at their own. The same parameters
  // again change nothing; a hidden window computes the locus when it is next shown.
  void SetParameters(const sim::Parameters& p);
  const std::optional<sim::Parameters>& Parameters() const { return parameters_; }
  // The gains drawn, in ascending order, and the highest.
  const std::vector<sim::LocusPoint>& Locus();
  double MaxGain() const { return maxGain_; }

  // The point of a branch within PickRadius pixels of the chart's pixel, as last painted.
  std::optional<sim::LocusHit> BranchAt(QPoint pixel) const;
  // Where a point of the plane lies on the chart, as last painted.
  QPoint PixelOf(std::complex<double> s) const;
  // The chart as shown, painted again while its fit to the plot's size changes.
  QImage Picture();

  static constexpr int LocusGains = 600;
  static constexpr int PickRadius = 6;
  static constexpr std::array<double, 4> DampingLines = {0.2, 0.4, 0.6, 0.8};

  chart::TChart* Chart;
  // What the present poles are, and the critical gain.
  QLabel* Summary;
  // The point under the pointer, or how to use the window.
  QLabel* Reading;

 signals:
  // A click on a branch: the gain of the point clicked.
  void GainChosen(double gain);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // The locus and every series from the parameters, when they changed since it was built;
  // a locus that cannot be computed is said in the summary.
  void Rebuild();
  void Build(const sim::Parameters& p);
  // The axes' ranges for the plot's size as last painted; true when they changed.
  bool FitAxes();
  QSize PlotSize() const;
  // Over the series: the critical gain beside its crossing and the rays' damping ratios.
  void DrawNotes();
  void ShowPointed(const std::optional<sim::LocusHit>& hit);
  QString Number(double value, const char* unit = "") const;
  // A pole as the student writes it: -23,35 or -23,35 ± 20,01i.
  QString PoleText(std::complex<double> pole) const;

  QChar separator_;
  std::optional<sim::Parameters> parameters_;
  bool built_ = false;
  std::vector<sim::LocusPoint> locus_;
  double maxGain_ = 0;
  std::optional<double> criticalGain_, criticalFrequency_;
  app::PlaneBox data_;
  // The plot's size the axes were fitted to.
  QSize fitted_;
  chart::TLineSeries axisLines_;
  std::array<chart::TLineSeries, 4> dampingRays_;
  std::array<chart::TLineSeries, 3> branches_;
  chart::TPointSeries openLoop_, crossing_, present_, pointed_;
};
