// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The chart's owned parts that are only settings: the background gradient, the titles,
// the walls and the legend. Each raises OnChange when a setter stores a new value.

#include <QString>
#include <QStringList>
#include <functional>

#include "chart/chart_pen.h"
#include "chart/chart_types.h"

namespace chart {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TChartGradient {
 public:
  TGradientDirection Direction() const { return direction_; }
  void SetDirection(TGradientDirection direction);
  TColor StartColor() const { return startColor_; }
  void SetStartColor(TColor color);
  TColor EndColor() const { return endColor_; }
  void SetEndColor(TColor color);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  std::function<void()> OnChange;

 private:
  TGradientDirection direction_ = gdTopBottom;
  TColor startColor_ = platform::clWhite;
  TColor endColor_ = 0x00FFFF;  // yellow
  bool visible_ = false;
};

// A title above the plotting rectangle, or the foot below it.
class TChartTitle {
 public:
  TChartTitle();

  bool AdjustFrame() const { return adjustFrame_; }
  void SetAdjustFrame(bool adjust);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  TChartBrush& Brush() { return brush_; }
  const TChartBrush& Brush() const { return brush_; }
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TChartFont& Font() { return font_; }
  const TChartFont& Font() const { return font_; }
  TChartHiddenPen& Frame() { return frame_; }
  const TChartHiddenPen& Frame() const { return frame_; }
  const QStringList& Text() const { return text_; }
  void SetText(const QStringList& text);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // Where the title was last drawn.
  const TRect& TitleRect() const { return titleRect_; }
  void SetTitleRect(const TRect& rect) { titleRect_ = rect; }

  // Raised by the title and by its brush, font and frame.
  void SetOnChange(std::function<void()> onChange);

 private:
  void Changed();

  bool adjustFrame_ = true;
  TAlignment alignment_ = taCenter;
  TChartBrush brush_;
  TColor color_ = platform::clDefault;
  TChartFont font_;
  TChartHiddenPen frame_;
  QStringList text_;
  bool visible_ = true;
  TRect titleRect_;
  std::function<void()> onChange_;
};

class TChartWall {
 public:
  explicit TChartWall(TColor color = platform::clDefault);

  TChartBrush& Brush() { return brush_; }
  const TChartBrush& Brush() const { return brush_; }
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool Dark3D() const { return dark3D_; }
  void SetDark3D(bool dark);
  TChartPen& Pen() { return pen_; }
  const TChartPen& Pen() const { return pen_; }
  int Size() const { return size_; }
  void SetSize(int size);

  void SetOnChange(std::function<void()> onChange);

 private:
  void Changed();

  TChartBrush brush_;
  TColor color_;
  bool dark3D_ = true;
  TChartPen pen_;
  int size_ = 0;
  std::function<void()> onChange_;
};

// The legend: hidden, it draws nothing and takes no room. Shown, it lists the active series
// that have a title and ShowInLegend, each with a stroke of its colour, in a box in the plot's
// top-left corner, over the traces; it takes no room from the plot.
class TChartLegend {
 public:
  TChartLegend();
  TChartLegend(const TChartLegend&) = delete;
  TChartLegend& operator=(const TChartLegend&) = delete;

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // The box's fill and the texts' font; the frame is drawn in the font's colour.
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TChartFont& Font() { return font_; }
  const TChartFont& Font() const { return font_; }

  std::function<void()> OnChange;

 private:
  bool visible_ = true;
  TColor color_ = platform::clWhite;
  TChartFont font_;
};

}  // namespace chart
