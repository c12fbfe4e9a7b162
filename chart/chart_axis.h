// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The chart's axes. An axis maps values to pixels along one side of the plotting
// rectangle, takes its range from the series or keeps a fixed one, chooses a label step
// from the 1-2-5 sequence and formats its labels; at each paint it reserves room for its
// title, labels and ticks and then draws them (axis_drawing.cpp).

#include <QHash>
#include <QString>
#include <array>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "chart/chart_pen.h"
#include "chart/chart_series.h"
#include "chart/chart_types.h"

namespace chart {

class TCustomAxisPanel;

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };

class TChartAxisTitle {
 public:
  int Angle() const { return angle_; }
  // 0..359; anything else raises ChartException and keeps the old angle.
  void SetAngle(int angle);
  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  TChartFont& Font() { return font_; }
  const TChartFont& Font() const { return font_; }

  void SetOnChange(std::function<void()> onChange);

 private:
  friend class TCustomChartAxis;
  int angle_ = 0;
  QString caption_;
  TChartFont font_;
  std::function<void()> onChange_;
};

// ValueToPixel with everything that does not depend on the value worked out once, for
// drawing many points.
struct TAxisMapping {
  double rangeMin = 0;
  double rangeSize = 0;
  double axisLength = 0;
  double scale = 0;  // axisLength / rangeSize
  int centre = 0;
  int origin = 0;  // the pixel of rangeMin
  int direction = 1;  // +1 when values grow with the pixels, -1 when against them

  friend bool operator==(const TAxisMapping&, const TAxisMapping&) = default;

  // The pixel as the axis defines it: (value - RangeMin) * AxisLength / RangeSize from the
  // origin, rounded half to even; the centre for an empty range or a pixel beyond 32 bits.
  int Exact(double value) const {
    if (rangeSize == 0) {
      return centre;
    }
    const double t = (value - rangeMin) * axisLength / rangeSize;
    if (!(t < PixelLimit && t > -PixelLimit)) {
      return centre;
    }
    return Pixel(Rounded(t));
  }

  // The same pixel with one multiply in place of the multiply and the divide. With no
  // product near overflow or underflow, the two quotients differ by a few units in their
  // last place, under 1e-6 of a pixel below 2^31, so they round alike unless within that of
  // half-way between two pixels: only such a value, or an extreme one, takes the exact way.
  int Map(double value) const {
    if (rangeSize == 0) {
      return centre;
    }
    const double offset = value - rangeMin;
    const double size = offset < 0 ? -offset : offset;
    const double quick = offset * scale;
    if (size < 1e290 && (size > 1e-290 || offset == 0) && quick < PixelLimit - 1 && quick > -(PixelLimit - 1)) {
      const double rounded = Rounded(quick);
      const double off = quick - rounded;
      if (off < HalfwayMargin && off > -HalfwayMargin) {
        return Pixel(rounded);
      }
    }
    return Exact(value);
  }

  // Map of each value times multiplier into pixels (as many as values).
  void MapAll(const double* values, int count, double multiplier, int* pixels) const;

  static constexpr double PixelLimit = 2147483647.0;
  static constexpr double HalfwayMargin = 0.5 - 1e-5;

 private:
  // Halves to even, as nearbyint, for |t| < 2^51: with 1.5 * 2^52 added the sum has no
  // fraction bits left, and the default rounding rounds t on the way.
  static double Rounded(double t) {
    constexpr double Shift = 6755399441055744.0;
    return (t + Shift) - Shift;
  }
  // A pixel beyond 32 bits is kept at their end; the series skip anything this far out.
  int Pixel(double rounded) const {
    const std::int64_t p = origin + direction * static_cast<std::int64_t>(rounded);
    return static_cast<int>(std::clamp<std::int64_t>(p, INT32_MIN, INT32_MAX));
  }
};

class TCustomChartAxis {
 public:
  enum class Side { Bottom, Top, Left, Right, Depth };

  TCustomChartAxis(TCustomAxisPanel* chart, Side side);
  TCustomChartAxis(const TCustomChartAxis&) = delete;
  TCustomChartAxis& operator=(const TCustomChartAxis&) = delete;
  virtual ~TCustomChartAxis() = default;

  // Takes every setting of another axis.
  virtual void Assign(const TCustomChartAxis& other);

  // --- settings ---
  bool Automatic() const { return automatic_; }
  void SetAutomatic(bool automatic);
  bool AutomaticMaximum() const { return automaticMaximum_; }
  void SetAutomaticMaximum(bool automatic);
  bool AutomaticMinimum() const { return automaticMinimum_; }
  void SetAutomaticMinimum(bool automatic);
  TChartAxisPen& Axis() { return axis_; }
  const QString& AxisValuesFormat() const { return axisValuesFormat_; }
  void SetAxisValuesFormat(const QString& format);
  TDottedGrayPen& Grid() { return grid_; }
  bool GridCentered() const { return gridCentered_; }
  void SetGridCentered(bool centered);
  double Increment() const { return increment_; }
  void SetIncrement(double increment);  // AxisException below 0
  bool Inverted() const { return inverted_; }
  void SetInverted(bool inverted);
  bool Labels() const { return labels_; }
  void SetLabels(bool labels);
  int LabelsAngle() const { return labelsAngle_; }
  void SetLabelsAngle(int angle);  // ChartException outside 0..359
  TChartFont& LabelsFont() { return labelsFont_; }
  const TChartFont& LabelsFont() const { return labelsFont_; }
  bool LabelsMultiLine() const { return labelsMultiLine_; }
  void SetLabelsMultiLine(bool multiLine);
  bool LabelsOnAxis() const { return labelsOnAxis_; }
  void SetLabelsOnAxis(bool onAxis);
  int LabelsSeparation() const { return labelsSeparation_; }
  void SetLabelsSeparation(int percent);  // AxisException below 0
  int LabelsSize() const { return labelsSize_; }
  void SetLabelsSize(int size);
  TAxisLabelStyle LabelStyle() const { return labelStyle_; }
  void SetLabelStyle(TAxisLabelStyle style);
  // Equal ratios take equal lengths (log_axis.cpp): labels at the powers of the base, minor
  // ticks at 2..base-1 times each, an automatic range rounded out to whole powers.
  // AxisException with a fixed Minimum at or below 0.
  bool Logarithmic() const { return logarithmic_; }
  void SetLogarithmic(bool logarithmic);
  int LogarithmicBase() const { return logarithmicBase_; }
  void SetLogarithmicBase(int base);  // AxisException below 2
  double Maximum() const { return maximum_; }
  void SetMaximum(double maximum);  // AxisException below Minimum, unless loading
  double Minimum() const { return minimum_; }
  void SetMinimum(double minimum);  // AxisException above Maximum, or at or below 0 when logarithmic, unless loading
  TChartHiddenPen& MinorGrid() { return minorGrid_; }
  int MinorTickCount() const { return minorTickCount_; }
  void SetMinorTickCount(int count);
  int MinorTickLength() const { return minorTickLength_; }
  void SetMinorTickLength(int length);
  TDarkGrayPen& MinorTicks() { return minorTicks_; }
  double StartPosition() const { return startPosition_; }
  void SetStartPosition(double percent);
  double EndPosition() const { return endPosition_; }
  void SetEndPosition(double percent);
  double PositionPercent() const { return positionPercent_; }
  void SetPositionPercent(double percent);
  bool RoundFirstLabel() const { return roundFirstLabel_; }
  void SetRoundFirstLabel(bool round);
  int TickInnerLength() const { return tickInnerLength_; }
  void SetTickInnerLength(int length);
  int TickLength() const { return tickLength_; }
  void SetTickLength(int length);
  bool TickOnLabelsOnly() const { return tickOnLabelsOnly_; }
  void SetTickOnLabelsOnly(bool only);
  TDarkGrayPen& Ticks() { return ticks_; }
  TDarkGrayPen& TicksInner() { return ticksInner_; }
  TChartAxisTitle& Title() { return title_; }
  const TChartAxisTitle& Title() const { return title_; }
  int TitleSize() const { return titleSize_; }
  void SetTitleSize(int size);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // --- what the axis is ---
  bool IsHorizontal() const { return side_ == Side::Bottom || side_ == Side::Top; }
  bool OtherSide() const { return side_ == Side::Top || side_ == Side::Right || side_ == Side::Depth; }
  bool IsDepthAxis() const { return side_ == Side::Depth; }
  bool IsDateTime() const { return false; }  // no date-time value lists here
  int DefaultTitleAngle() const;
  Side AxisSide() const { return side_; }
  TCustomAxisPanel* ParentChart() const { return chart_; }

  // --- working state of the current paint ---
  double RangeMin = 0;
  double RangeMax = 0;
  double RangeSize = 0;
  int StartPixel = 0;
  int EndPixel = 0;
  int AxisLength = 0;
  int CenterPixel = 0;
  int AxisPos = 0;
  int LabelsPos = 0;
  int TitlePos = 0;

  // --- operations ---
  // For zoom and scroll: a fixed range, min and max in either order, at least 1e-10 wide.
  void SetRange(double min, double max);
  // The automatic ends from the series, then the range in use. No rounding: an automatic
  // axis spans exactly the data.
  void ComputeRange();
  // The pixel ends along ChartRect.
  void ComputePositions();
  // A zero range maps every value to CenterPixel, as does an offset beyond 32 bits.
  int ValueToPixel(double value) const { return logarithmic_ ? LogValueToPixel(value) : Mapping().Exact(value); }
  // The linear mapping: a logarithmic axis maps through ValueToPixel or MapValues only.
  TAxisMapping Mapping() const;
  // Mapping().MapAll, remembering the last values and their pixels: the series of a chart
  // often share their x values, and then all but the first are a copy.
  void MapValues(const double* values, int count, double multiplier, int* pixels) const;
  double PixelToValue(int pixel) const;
  // The label step for the current range and length, in the surface's current font.
  double CurrentIncrement() const;
  // The label text of a value; the chart's OnGetAxisLabel may rewrite it.
  QString FormatLabel(double value) const;
  // talAuto resolved against the series.
  TAxisLabelStyle ResolvedLabelStyle() const;

  // --- layout and drawing (axis_drawing.cpp) ---
  // Pixels of the line and the ticks: 6 for the default pens.
  int TickBand() const;
  // Takes the room for title, labels and ticks from rect's edge on this axis' side.
  void ReserveSpace(TRect& rect, bool inflate);
  // Widens the range so that the data keep the series' pixel margins.
  void ApplyMargins(const TSeriesMargins& margins);
  void DrawAxis(bool computePosition);
  // The band along the axis from its labels' anchor to 3 pixels beyond its line.
  bool Clicked(int x, int y) const;
  // Text of one or more lines placed for this axis' side and the angle.
  void DrawAxisText(int x, int y, int angle, const QString& text);

 private:
  void Changed();
  // Stores a new value and repaints; the held value changes nothing.
  template <class T, class V>
  void Set(T& field, const V& value) {
    if (StoreIfChanged(field, value)) {
      Changed();
    }
  }
  void SetAutomaticEnd(bool& end, bool otherEnd, bool automatic);
  int TextBand(const TChartFont& font, int angle, int fixedSize, const QString& text);
  int WidestValueLabel();
  int EdgeOf(const TRect& rect) const;
  void MoveEdgeInward(TRect& rect, int amount) const;
  int ShiftedByPosition(int pos, const TRect& rect) const;
  void DrawTitle();
  void DrawLabelAt(double value, std::vector<int>& ticks);
  void DrawLinesTicksAndGrid(const std::vector<int>& ticks);
  void DrawTick(int p, int length, bool inner);
  void DrawGridLine(int p);
  // Logarithmic axes (log_axis.cpp).
  void RoundLogRange();
  int LogValueToPixel(double value) const;
  double LogPixelToValue(int pixel) const;
  std::vector<double> LogLabels() const;
  std::vector<int> LogMinorTicks() const;

  TCustomAxisPanel* chart_;
  Side side_;

  bool automatic_ = true;
  bool automaticMaximum_ = true;
  bool automaticMinimum_ = true;
  TChartAxisPen axis_;
  QString axisValuesFormat_ = QStringLiteral("#,##0.###");
  TDottedGrayPen grid_;
  bool gridCentered_ = false;
  double increment_ = 0;
  bool inverted_ = false;
  bool labels_ = true;
  int labelsAngle_ = 0;
  TChartFont labelsFont_{QStringLiteral("Arial"), 11, platform::clBlack};
  bool labelsMultiLine_ = false;
  bool labelsOnAxis_ = true;
  int labelsSeparation_ = 10;
  int labelsSize_ = 0;
  TAxisLabelStyle labelStyle_ = talAuto;
  bool logarithmic_ = false;
  int logarithmicBase_ = 10;
  double maximum_ = 0;
  double minimum_ = 0;
  TChartHiddenPen minorGrid_;
  int minorTickCount_ = 3;
  int minorTickLength_ = 2;
  TDarkGrayPen minorTicks_;
  double startPosition_ = 0;
  double endPosition_ = 100;
  double positionPercent_ = 0;
  bool roundFirstLabel_ = true;
  int tickInnerLength_ = 0;
  int tickLength_ = 4;
  bool tickOnLabelsOnly_ = true;
  TDarkGrayPen ticks_;
  TDarkGrayPen ticksInner_;
  TChartAxisTitle title_;
  int titleSize_ = 0;
  bool visible_ = true;

  // Label texts by value in the separators they were written with: the same values come
  // back on every paint, and writing one out costs more than drawing it.
  struct WrittenLabels {
    QString decimalSeparator;
    QString groupSeparator;
    QHash<quint64, QString> texts;  // by the value's bits
  };
  mutable WrittenLabels written_;
  struct MappedValues {
    TAxisMapping mapping;
    double multiplier = 0;
    std::vector<double> values;  // as given
    std::vector<int> pixels;
    std::uint64_t used = 0;  // when last mapped or found
  };
  // The lists mapped lately: traces that share their x values, and kept traces whose values
  // and axis have not moved since the last frame, are mapped once. Room for a frame's lists,
  // so that a new list replaces the one unused longest and never one the next frame wants.
  static constexpr std::size_t MappedKept = 16;
  mutable std::array<MappedValues, MappedKept> mapped_;
  mutable std::uint64_t mapCount_ = 0;
};

class TChartAxis : public TCustomChartAxis {
 public:
  using TCustomChartAxis::TCustomChartAxis;
};

// Shown in 3D only.
class TChartDepthAxis : public TCustomChartAxis {
 public:
  explicit TChartDepthAxis(TCustomAxisPanel* chart);
};

}  // namespace chart
