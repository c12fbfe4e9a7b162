// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The chart's drawing tools: pens with Visible and SmallDots, the brush with its two style
// rules, and fonts. Each raises OnChange when a setter stores a new value, so that its
// owner repaints; a setter given the value already held does nothing.

#include <QFont>
#include <QString>
#include <functional>

#include "chart/chart_types.h"

namespace chart {

class TChartPen {
 public:
  TChartPen() = default;
  TChartPen(const TChartPen&) = default;
  TChartPen& operator=(const TChartPen&) = default;
  virtual ~TChartPen() = default;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool SmallDots() const { return smallDots_; }
  void SetSmallDots(bool smallDots);

  // Copies colour, width, style and both flags; one change notification.
  void Assign(const TChartPen& other);

  std::function<void()> OnChange;

 protected:
  void Changed();

  TColor color_ = platform::clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  bool visible_ = true;
  bool smallDots_ = false;
};

// The five variants differ only in their defaults.
class TChartHiddenPen : public TChartPen {  // axis minor grid
 public:
  TChartHiddenPen() { visible_ = false; }
};

class TDottedGrayPen : public TChartPen {  // axis grid
 public:
  TDottedGrayPen() {
    color_ = platform::clGray;
    style_ = psDot;
  }
};

class TDarkGrayPen : public TChartPen {  // ticks
 public:
  TDarkGrayPen() { color_ = platform::clGray; }
};

class TChartArrowPen : public TChartPen {  // marks' arrows
 public:
  TChartArrowPen() { color_ = platform::clWhite; }
};

class TChartAxisPen : public TChartPen {  // axis line
 public:
  TChartAxisPen() { width_ = 2; }
};

// Setting the style to clear also sets the colour to white; setting the colour while the
// style is clear makes the style solid.
class TChartBrush {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);

  std::function<void()> OnChange;

 private:
  TColor color_ = platform::clWhite;
  TBrushStyle style_ = bsSolid;
};

// A font as the layout gives it: family, character height in pixels, style and colour.
class TChartFont {
 public:
  TChartFont() = default;
  TChartFont(QString name, int height, TColor color, bool bold = false);

  const QString& Name() const { return name_; }
  void SetName(const QString& name);
  int Height() const { return height_; }  // pixels
  void SetHeight(int height);
  bool Bold() const { return bold_; }
  void SetBold(bool bold);
  bool Italic() const { return italic_; }
  void SetItalic(bool italic);
  TColor Color() const { return color_; }
  void SetColor(TColor color);

  // The Qt font to draw with.
  QFont ToQFont() const;

  std::function<void()> OnChange;

 private:
  void Changed();

  QString name_ = QStringLiteral("Arial");
  int height_ = 11;
  bool bold_ = false;
  bool italic_ = false;
  TColor color_ = platform::clBlack;
};

}  // namespace chart
