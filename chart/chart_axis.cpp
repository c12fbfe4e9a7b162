// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/chart_axis.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "chart/axis_math.h"
#include "chart/axis_panel.h"

namespace chart {

namespace {

[[noreturn]] void AngleError(const char* what) {
  throw ChartException(std::string(what) + " Angle must be between 0 and 359 degrees");
}

}  // namespace

void TChartAxisTitle::SetOnChange(std::function<void()> onChange) {
  onChange_ = std::move(onChange);
  font_.OnChange = onChange_;
}

void TChartAxisTitle::SetAngle(int angle) {
  if (angle < 0 || angle > 359) {
    AngleError("Axis Title");
  }
  if (StoreIfChanged(angle_, angle) && onChange_) {
    onChange_();
  }
}

void TChartAxisTitle::SetCaption(const QString& caption) {
  if (StoreIfChanged(caption_, caption) && onChange_) {
    onChange_();
  }
}

TCustomChartAxis::TCustomChartAxis(TCustomAxisPanel* chart, Side side) : chart_(chart), side_(side) {
  title_.angle_ = DefaultTitleAngle();
  title_.SetOnChange([this] { Changed(); });
  for (TChartPen* pen : std::initializer_list<TChartPen*>{&axis_, &grid_, &minorGrid_, &minorTicks_, &ticks_, &ticksInner_}) {
    pen->OnChange = [this] { Changed(); };
  }
  labelsFont_.OnChange = [this] { Changed(); };
}

int TCustomChartAxis::DefaultTitleAngle() const {
  switch (side_) {
    case Side::Left:
      return 90;
    case Side::Right:
      return 270;
    default:
      return 0;
  }
}

void TCustomChartAxis::Changed() {
  if (chart_ != nullptr) {
    chart_->Invalidate();
  }
}

void TCustomChartAxis::SetAxisValuesFormat(const QString& value) { Set(axisValuesFormat_, value); }
void TCustomChartAxis::SetGridCentered(bool value) { Set(gridCentered_, value); }
void TCustomChartAxis::SetInverted(bool value) { Set(inverted_, value); }
void TCustomChartAxis::SetLabels(bool value) { Set(labels_, value); }
void TCustomChartAxis::SetLabelsMultiLine(bool value) { Set(labelsMultiLine_, value); }
void TCustomChartAxis::SetLabelsOnAxis(bool value) { Set(labelsOnAxis_, value); }
void TCustomChartAxis::SetLabelsSize(int value) { Set(labelsSize_, value); }
void TCustomChartAxis::SetLabelStyle(TAxisLabelStyle value) { Set(labelStyle_, value); }
void TCustomChartAxis::SetMinorTickCount(int value) { Set(minorTickCount_, value); }
void TCustomChartAxis::SetMinorTickLength(int value) { Set(minorTickLength_, value); }
void TCustomChartAxis::SetStartPosition(double value) { Set(startPosition_, value); }
void TCustomChartAxis::SetEndPosition(double value) { Set(endPosition_, value); }
void TCustomChartAxis::SetPositionPercent(double value) { Set(positionPercent_, value); }
void TCustomChartAxis::SetRoundFirstLabel(bool value) { Set(roundFirstLabel_, value); }
void TCustomChartAxis::SetTickInnerLength(int value) { Set(tickInnerLength_, value); }
void TCustomChartAxis::SetTickLength(int value) { Set(tickLength_, value); }
void TCustomChartAxis::SetTickOnLabelsOnly(bool value) { Set(tickOnLabelsOnly_, value); }
void TCustomChartAxis::SetTitleSize(int value) { Set(titleSize_, value); }
void TCustomChartAxis::SetVisible(bool value) { Set(visible_, value); }

void TCustomChartAxis::SetAutomatic(bool automatic) {
  Set(automatic_, automatic);
  // Both ends follow, except while the form's description is being read.
  if (chart_ == nullptr || !chart_->Loading()) {
    automaticMinimum_ = automatic;
    automaticMaximum_ = automatic;
  }
}

void TCustomChartAxis::SetAutomaticEnd(bool& end, bool otherEnd, bool automatic) {
  Set(end, automatic);
  // Automatic means both ends are.
  if (!automatic) {
    automatic_ = false;
  } else if (otherEnd) {
    automatic_ = true;
  }
}

void TCustomChartAxis::SetAutomaticMaximum(bool automatic) {
  SetAutomaticEnd(automaticMaximum_, automaticMinimum_, automatic);
}

void TCustomChartAxis::SetAutomaticMinimum(bool automatic) {
  SetAutomaticEnd(automaticMinimum_, automaticMaximum_, automatic);
}

void TCustomChartAxis::SetIncrement(double increment) {
  if (increment < 0) {
    throw AxisException("Axis increment must be >= 0");
  }
  Set(increment_, increment);
}

void TCustomChartAxis::SetLabelsAngle(int angle) {
  if (angle < 0 || angle > 359) {
    AngleError("Axis Labels");
  }
  Set(labelsAngle_, angle);
}

void TCustomChartAxis::SetLabelsSeparation(int percent) {
  if (percent < 0) {
    throw AxisException("Labels Separation % must be greater than 0");
  }
  Set(labelsSeparation_, percent);
}

void TCustomChartAxis::SetMaximum(double maximum) {
  // While the form is read, the two ends may arrive in either order.
  if ((chart_ == nullptr || !chart_->Loading()) && maximum < minimum_) {
    throw AxisException("Axis Maximum Value must be >= Minimum");
  }
  Set(maximum_, maximum);
}

void TCustomChartAxis::SetMinimum(double minimum) {
  if ((chart_ == nullptr || !chart_->Loading()) && minimum > maximum_) {
    throw AxisException("Axis Minimum Value must be <= Maximum");
  }
  if ((chart_ == nullptr || !chart_->Loading()) && logarithmic_ && !(minimum > 0)) {
    throw AxisException("Logarithmic axis Minimum Value must be > 0");
  }
  Set(minimum_, minimum);
}

void TCustomChartAxis::Assign(const TCustomChartAxis& o) {
  automatic_ = o.automatic_;
  automaticMaximum_ = o.automaticMaximum_;
  automaticMinimum_ = o.automaticMinimum_;
  axis_.Assign(o.axis_);
  axisValuesFormat_ = o.axisValuesFormat_;
  grid_.Assign(o.grid_);
  gridCentered_ = o.gridCentered_;
  increment_ = o.increment_;
  inverted_ = o.inverted_;
  labels_ = o.labels_;
  labelsAngle_ = o.labelsAngle_;
  labelsFont_ = o.labelsFont_;
  labelsFont_.OnChange = [this] { Changed(); };
  labelsMultiLine_ = o.labelsMultiLine_;
  labelsOnAxis_ = o.labelsOnAxis_;
  labelsSeparation_ = o.labelsSeparation_;
  labelsSize_ = o.labelsSize_;
  labelStyle_ = o.labelStyle_;
  logarithmic_ = o.logarithmic_;
  logarithmicBase_ = o.logarithmicBase_;
  maximum_ = o.maximum_;
  minimum_ = o.minimum_;
  minorGrid_.Assign(o.minorGrid_);
  minorTickCount_ = o.minorTickCount_;
  minorTickLength_ = o.minorTickLength_;
  minorTicks_.Assign(o.minorTicks_);
  startPosition_ = o.startPosition_;
  endPosition_ = o.endPosition_;
  positionPercent_ = o.positionPercent_;
  roundFirstLabel_ = o.roundFirstLabel_;
  tickInnerLength_ = o.tickInnerLength_;
  tickLength_ = o.tickLength_;
  tickOnLabelsOnly_ = o.tickOnLabelsOnly_;
  ticks_.Assign(o.ticks_);
  ticksInner_.Assign(o.ticksInner_);
  title_.angle_ = o.title_.angle_;
  title_.caption_ = o.title_.caption_;
  title_.font_ = o.title_.font_;
  title_.font_.OnChange = title_.onChange_;
  titleSize_ = o.titleSize_;
  visible_ = o.visible_;
  Changed();
}

void TCustomChartAxis::SetRange(double min, double max) {
  automatic_ = false;
  automaticMinimum_ = false;
  automaticMaximum_ = false;
  if (min > max) {
    std::swap(min, max);
  }
  if (logarithmic_ && !(min > 0)) {
    throw AxisException("Logarithmic axis Minimum Value must be > 0");
  }
  minimum_ = min;
  maximum_ = max;
  if (maximum_ - minimum_ < 1e-10) {
    maximum_ = minimum_ + 1e-10;
  }
  Changed();
}

void TCustomChartAxis::ComputeRange() {
  if (chart_ != nullptr) {
    if (automatic_ || automaticMaximum_) {
      maximum_ = chart_->SeriesExtreme(*this, false, IsHorizontal());
    }
    if (automatic_ || automaticMinimum_) {
      minimum_ = chart_->SeriesExtreme(*this, true, IsHorizontal());
    }
  }
  if (logarithmic_) {
    RoundLogRange();
  }
  RangeMax = maximum_;
  RangeMin = minimum_;
  RangeSize = RangeMax - RangeMin;
}

void TCustomChartAxis::ComputePositions() {
  const TRect& r = chart_->ChartRect();
  const int start = IsHorizontal() ? r.Left : r.Top;
  const int size = IsHorizontal() ? chart_->ChartWidth() : chart_->ChartHeight();
  StartPixel = start + static_cast<int>(RoundHalfEven(size * 0.01 * startPosition_));
  EndPixel = start + static_cast<int>(RoundHalfEven(size * 0.01 * endPosition_));
  AxisLength = EndPixel - StartPixel;
  CenterPixel = (StartPixel + EndPixel) / 2;
}

// Two loops: the first without a branch on the values, so that the processor keeps many
// of them in flight, marks the few that Map would send the exact way; the second maps
// those again.
void TAxisMapping::MapAll(const double* values, int count, double multiplier, int* pixels) const {
  if (rangeSize == 0) {
    std::fill(pixels, pixels + count, centre);
    return;
  }
  constexpr double Shift = 6755399441055744.0;
  // Held inside the 32-bit range, a NaN included, so that the conversion below is defined;
  // whatever is held there is marked for the exact way, and so is an offset of 0 with the
  // extreme ones.
  constexpr double low = -(PixelLimit - 1);
  constexpr double high = PixelLimit - 1;
  const auto pixel = [this](std::int64_t rounded) {
    const std::int64_t p = origin + direction * rounded;
    return static_cast<int>(std::clamp<std::int64_t>(p, INT32_MIN, INT32_MAX));
  };
  bool anyExact = false;
  int i = 0;
#if defined(__SSE2__)
  // Two values at a time, every step the same operation as below on each of them: the
  // clamp as max then min (a NaN gives the low end, as below), the tests as masks.
  {
    const __m128d multiplierV = _mm_set1_pd(multiplier);
    const __m128d rangeMinV = _mm_set1_pd(rangeMin);
    const __m128d scaleV = _mm_set1_pd(scale);
    const __m128d lowV = _mm_set1_pd(low);
    const __m128d highV = _mm_set1_pd(high);
    const __m128d shiftV = _mm_set1_pd(Shift);
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(INT64_MAX));
    const __m128d largest = _mm_set1_pd(1e290);
    const __m128d smallest = _mm_set1_pd(1e-290);
    const __m128d limit = _mm_set1_pd(PixelLimit - 1);
    const __m128d margin = _mm_set1_pd(HalfwayMargin);
    for (; i + 2 <= count; i += 2) {
      const __m128d offset = _mm_sub_pd(_mm_mul_pd(_mm_loadu_pd(values + i), multiplierV), rangeMinV);
      const __m128d quick = _mm_mul_pd(offset, scaleV);
      const __m128d held = _mm_min_pd(_mm_max_pd(quick, lowV), highV);
      const __m128d rounded = _mm_sub_pd(_mm_add_pd(held, shiftV), shiftV);
      const __m128d size = _mm_and_pd(offset, magnitude);
      const __m128d holds = _mm_and_pd(
          _mm_and_pd(_mm_cmplt_pd(size, largest), _mm_cmpgt_pd(size, smallest)),
          _mm_and_pd(_mm_cmplt_pd(_mm_and_pd(quick, magnitude), limit),
                     _mm_cmplt_pd(_mm_and_pd(_mm_sub_pd(held, rounded), magnitude), margin)));
      const int mask = _mm_movemask_pd(holds);
      // Whole numbers held within 32 bits: the truncation is exact.
      const __m128i whole = _mm_cvttpd_epi32(rounded);
      pixels[i] = (mask & 1) != 0 ? pixel(_mm_cvtsi128_si32(whole)) : INT32_MIN;
      pixels[i + 1] = (mask & 2) != 0 ? pixel(_mm_cvtsi128_si32(_mm_shuffle_epi32(whole, 1))) : INT32_MIN;
      anyExact |= mask != 3;
    }
  }
#endif
  for (; i < count; ++i) {
    const double offset = values[i] * multiplier - rangeMin;
    const double quick = offset * scale;
    const double held = quick > low ? (quick < high ? quick : high) : low;
    const double rounded = (held + Shift) - Shift;
    const double size = std::fabs(offset);
    const bool quickHolds = (size < 1e290) & (size > 1e-290) & (std::fabs(quick) < PixelLimit - 1) &
                            (std::fabs(held - rounded) < HalfwayMargin);
    anyExact |= !quickHolds;
    pixels[i] = quickHolds ? pixel(static_cast<std::int64_t>(rounded)) : INT32_MIN;
  }
  if (anyExact) {
    for (int i = 0; i < count; ++i) {
      if (pixels[i] == INT32_MIN) {
        pixels[i] = Map(values[i] * multiplier);
      }
    }
  }
}

void TCustomChartAxis::MapValues(const double* values, int count, double multiplier, int* pixels) const {
  if (logarithmic_) {
    for (int i = 0; i < count; ++i) {
      pixels[i] = LogValueToPixel(values[i] * multiplier);
    }
    return;
  }
  if (count <= 0) {
    return;  // nothing to map, and no list to compare
  }
  const TAxisMapping mapping = Mapping();
  const auto n = static_cast<std::size_t>(count);
  ++mapCount_;
  // Compared bit for bit: equal bits map to equal pixels.
  for (MappedValues& kept : mapped_) {
    if (kept.mapping == mapping && std::memcmp(&kept.multiplier, &multiplier, sizeof multiplier) == 0 &&
        kept.values.size() == n && std::memcmp(kept.values.data(), values, n * sizeof(double)) == 0) {
      std::copy(kept.pixels.begin(), kept.pixels.end(), pixels);
      kept.used = mapCount_;
      return;
    }
  }
  mapping.MapAll(values, count, multiplier, pixels);
  MappedValues& last = *std::min_element(mapped_.begin(), mapped_.end(), [](const auto& a, const auto& b) {
    return a.used < b.used;
  });
  last.used = mapCount_;
  last.mapping = mapping;
  last.multiplier = multiplier;
  last.values.assign(values, values + n);
  last.pixels.assign(pixels, pixels + n);
}

TAxisMapping TCustomChartAxis::Mapping() const {
  // Values grow rightwards and upwards; y grows downwards.
  const bool fromStart = IsHorizontal() != inverted_;
  const double length = AxisLength;
  return TAxisMapping{RangeMin,  RangeSize, length, RangeSize == 0 ? 0.0 : length / RangeSize, CenterPixel,
                      fromStart ? StartPixel : EndPixel, fromStart ? 1 : -1};
}

double TCustomChartAxis::PixelToValue(int pixel) const {
  if (AxisLength < 1) {
    return 0;
  }
  if (logarithmic_) {
    return LogPixelToValue(pixel);
  }
  const double d = inverted_ ? EndPixel - pixel : pixel - StartPixel;
  const double t = d * RangeSize / AxisLength;
  return IsHorizontal() ? RangeMin + t : RangeMax - t;
}

double TCustomChartAxis::CurrentIncrement() const {
  const TChartCanvas3D& canvas = chart_->Canvas();
  // The widest line of a label and its number of lines; most labels have one.
  auto measure = [&canvas](const QString& text) -> std::pair<int, qsizetype> {
    if (!text.contains(u'\r')) {
      return {canvas.MeasureTextWidth(text), 1};
    }
    const QStringList lines = text.split(u'\r');
    int w = 0;
    for (const QString& line : lines) {
      w = std::max(w, canvas.MeasureTextWidth(line));
    }
    return {w, lines.size()};
  };
  const auto [maxWidth, maxLines] = measure(FormatLabel(RangeMax));
  const auto [minWidth, minLines] = measure(FormatLabel(RangeMin));
  const int lineHeight = canvas.TextLineHeight();
  const int widths = std::max(maxWidth, minWidth);
  const int heights = lineHeight * static_cast<int>(std::max(maxLines, minLines));
  int size = 0;
  if (IsHorizontal()) {
    size = labelsAngle_ == 90 || labelsAngle_ == 270 ? heights : widths;
  } else {
    size = labelsAngle_ == 0 || labelsAngle_ == 180 ? heights : widths;
  }
  return LabelIncrement(RangeSize, AxisLength, size, labelsSeparation_, increment_);
}

QString TCustomChartAxis::FormatLabel(double value) const {
  const QString& decimal = chart_->LabelDecimalSeparator();
  const QString& group = chart_->LabelGroupSeparator();
  if (written_.decimalSeparator != decimal || written_.groupSeparator != group) {
    written_ = WrittenLabels{decimal, group, {}};
  }
  // A zoom or a scroll brings new values on every step: start afresh now and then.
  constexpr qsizetype MaxKeptTexts = 256;
  if (written_.texts.size() >= MaxKeptTexts) {
    written_.texts.clear();
  }
  const quint64 bits = std::bit_cast<quint64>(value);
  auto found = written_.texts.constFind(bits);
  if (found == written_.texts.cend()) {
    found = written_.texts.insert(bits, FormatAxisValue(value, decimal, group));
  }
  QString text = *found;
  if (chart_->OnGetAxisLabel && !chart_->AxisLabelHookSuspended()) {
    chart_->OnGetAxisLabel(static_cast<const TChartAxis*>(this), nullptr, -1, text);
  }
  if (labelsMultiLine_) {
    text.replace(u' ', u'\r');
  }
  return text;
}

TAxisLabelStyle TCustomChartAxis::ResolvedLabelStyle() const {
  if (labelStyle_ != talAuto) {
    return labelStyle_;
  }
  bool used = false;
  for (const TChartSeries* series : chart_->SeriesList()) {
    if (!series->Active() || !series->AssociatedToAxis(*this)) {
      continue;
    }
    used = true;
    const bool valuesAlong = IsHorizontal() ? series->YMandatory() : !series->YMandatory();
    if (valuesAlong && series->Count() > 0 && !series->PointLabel(0).isEmpty()) {
      return talText;
    }
  }
  return used ? talValue : talNone;
}

TChartDepthAxis::TChartDepthAxis(TCustomAxisPanel* chart) : TCustomChartAxis(chart, Side::Depth) {
  SetVisible(false);
}

}  // namespace chart
