// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/chart_parts.h"

namespace chart {

namespace {

template <class T>
void Update(T& field, const T& value, const std::function<void()>& changed) {
  if (StoreIfChanged(field, value) && changed) {
    changed();
  }
}

}  // namespace

void TChartGradient::SetDirection(TGradientDirection direction) { Update(direction_, direction, OnChange); }
void TChartGradient::SetStartColor(TColor color) { Update(startColor_, color, OnChange); }
void TChartGradient::SetEndColor(TColor color) { Update(endColor_, color, OnChange); }
void TChartGradient::SetVisible(bool visible) { Update(visible_, visible, OnChange); }

TChartTitle::TChartTitle() {
  brush_.SetColor(platform::clDefault);
  font_.SetColor(platform::clBlue);
}

void TChartTitle::Changed() {
  if (onChange_) {
    onChange_();
  }
}

void TChartTitle::SetOnChange(std::function<void()> onChange) {
  onChange_ = std::move(onChange);
  brush_.OnChange = [this] { Changed(); };
  font_.OnChange = [this] { Changed(); };
  frame_.OnChange = [this] { Changed(); };
}

void TChartTitle::SetAdjustFrame(bool adjust) { Update(adjustFrame_, adjust, onChange_); }
void TChartTitle::SetAlignment(TAlignment alignment) { Update(alignment_, alignment, onChange_); }
void TChartTitle::SetColor(TColor color) { Update(color_, color, onChange_); }
void TChartTitle::SetText(const QStringList& text) { Update(text_, text, onChange_); }
void TChartTitle::SetVisible(bool visible) { Update(visible_, visible, onChange_); }

TChartWall::TChartWall(TColor color) : color_(color) { brush_.SetColor(platform::clDefault); }

void TChartWall::Changed() {
  if (onChange_) {
    onChange_();
  }
}

void TChartWall::SetOnChange(std::function<void()> onChange) {
  onChange_ = std::move(onChange);
  brush_.OnChange = [this] { Changed(); };
  pen_.OnChange = [this] { Changed(); };
}

void TChartWall::SetColor(TColor color) { Update(color_, color, onChange_); }
void TChartWall::SetDark3D(bool dark) { Update(dark3D_, dark, onChange_); }
void TChartWall::SetSize(int size) { Update(size_, size, onChange_); }

TChartLegend::TChartLegend() {
  font_.OnChange = [this] {
    if (OnChange) {
      OnChange();
    }
  };
}

void TChartLegend::SetVisible(bool visible) { Update(visible_, visible, OnChange); }
void TChartLegend::SetColor(TColor color) { Update(color_, color, OnChange); }

}  // namespace chart
