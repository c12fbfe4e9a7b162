// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "animation/machine_picture.h"

#include <QPoint>
#include <QString>
#include <algorithm>

#include "platform/colors.h"

namespace animation {
namespace {

using platform::Grey;
using platform::RasterCanvas;
using platform::RGB;
using platform::TColor;

constexpr TColor BlockColor = RGB(210, 130, 130);
constexpr TColor SignalColor = RGB(170, 50, 50);

// At +-115 the table reaches the cleared band's edges (columns 145 and 484); drawn further
// out it would leave an overhang that the next call does not clear. The end stops keep
// the carriage near +-110, so this only guards the picture.
constexpr int CarriageDrawLimit = 115;

// The band the moving part is drawn in, and the rows of it that the thread's turns reach.
constexpr int BandLeft = ScrewAndCarriageBand.left();
constexpr int BandTop = ScrewAndCarriageBand.top();
constexpr int BandRight = ScrewAndCarriageBand.right() + 1;
constexpr int BandBottom = ScrewAndCarriageBand.bottom() + 1;
constexpr int ThreadTop = 72;
constexpr int ThreadBottom = 109;

void SetPenAndBrush(RasterCanvas& canvas, TColor color) {
  canvas.SetBrushColor(color);
  canvas.SetPenColor(color);
}

void DrawMotor(RasterCanvas& canvas) {
  canvas.SetPenWidth(1);
  // Bands of 2 rows brighten from the top and bottom edges towards the axis.
  for (int i = 1; i <= 15; ++i) {
    SetPenAndBrush(canvas, RGB(10 * i + 20, 12 * i + 20, 10 * i + 20));
    canvas.Rectangle(10, 46 + 2 * i, 115, 134 - 2 * i);
  }
  canvas.SetPenColor(platform::clBlack);
  canvas.SetBrushColor(RGB(170, 190, 170));
  canvas.TextOut(40, 80, QStringLiteral("MOTOR"));
}

void DrawTransducerAndAmplifier(RasterCanvas& canvas) {
  canvas.SetBrushColor(BlockColor);
  canvas.Rectangle(190, 120, 440, 140);
  canvas.Rectangle(30, 160, 130, 220);
  canvas.TextOut(40, 174, QStringLiteral("CONVERTER-"));
  canvas.TextOut(45, 194, QStringLiteral("AMPLIFIER"));
}

void DrawComparisonNode(RasterCanvas& canvas) {
  canvas.SetBrushColor(BlockColor);
  canvas.SetPenColor(platform::clBlack);
  canvas.SetPenWidth(1);
  canvas.Ellipse(150, 170, 190, 210);
  canvas.MoveTo(155, 175);
  canvas.LineTo(185, 205);
  canvas.MoveTo(155, 205);
  canvas.LineTo(185, 175);
}

void DrawSignalLines(RasterCanvas& canvas) {
  SetPenAndBrush(canvas, SignalColor);
  canvas.SetPenWidth(2);
  const QPoint feedback[] = {{190, 130}, {170, 130}, {170, 170}};
  canvas.Polyline(feedback);
  const QPoint feedbackHead[] = {{175, 165}, {165, 165}, {170, 170}};
  canvas.Polygon(feedbackHead);
  // Line and head in one closed polygon: the line goes out and back along itself and
  // encloses nothing, so only the head is filled.
  const QPoint toAmplifier[] = {{150, 190}, {130, 190}, {135, 195}, {135, 185}, {130, 190}};
  canvas.Polygon(toAmplifier);
  const QPoint command[] = {{210, 190}, {190, 190}, {195, 195}, {195, 185}, {190, 190}};
  canvas.Polygon(command);
  const QPoint toMotor[] = {{30, 190}, {20, 190}, {20, 132}};
  canvas.Polyline(toMotor);
  const QPoint motorHead[] = {{20, 132}, {15, 137}, {25, 137}, {20, 132}};
  canvas.Polygon(motorHead);
}

void DrawScrewBody(RasterCanvas& canvas) {
  for (int i = 1; i <= 6; ++i) {
    SetPenAndBrush(canvas, Grey(30 * i + 20));
    canvas.Rectangle(190, 76 + 2 * i, 440, 104 - 2 * i);
  }
}

// 18 turns 16 pixels apart, each a slanted band shaded lighter towards its middle, with a
// dark sliver along either flank.
void DrawThread(RasterCanvas& canvas, int screwPhase) {
  for (int k = -1; k <= 16; ++k) {
    const int c = 16 * k + screwPhase;
    for (int j = 0; j <= 5; ++j) {
      SetPenAndBrush(canvas, Grey(40 * j + 20));
      const QPoint band[] = {{c + 184 + j, 72 + 3 * j},
                             {c + 196 - j, 108 - 3 * j},
                             {c + 204 - j, 108 - 3 * j},
                             {c + 192 + j, 72 + 3 * j},
                             {c + 184 + j, 72 + 3 * j}};
      canvas.Polygon(band);
    }
    SetPenAndBrush(canvas, Grey(20));
    const QPoint leftFlank[] = {{c + 181, 78}, {c + 184, 72}, {c + 196, 108}, {c + 184, 78}};
    canvas.Polygon(leftFlank);
    const QPoint rightFlank[] = {{c + 207, 102}, {c + 204, 108}, {c + 192, 72}, {c + 204, 102}};
    canvas.Polygon(rightFlank);
  }
}

void DrawGuideAndHousings(RasterCanvas& canvas) {
  canvas.SetBrushColor(platform::clWhite);
  canvas.SetPenColor(platform::clBlack);
  canvas.Rectangle(150, 60, 480, 68);
  canvas.SetBrushColor(Grey(20));
  canvas.Rectangle(150, 60, 190, 68);
  canvas.Rectangle(440, 60, 480, 68);
  canvas.Rectangle(460, 68, 480, 112);
  canvas.Rectangle(150, 68, 170, 112);
}

void DrawCarriage(RasterCanvas& canvas, int x) {
  canvas.SetBrushColor(Grey(20));
  canvas.FillRect(x + 300, 60, x + 330, 115);  // the nut
  canvas.SetBrushColor(Grey(50));
  canvas.FillRect(x + 260, 25, x + 370, 60);  // the table
  // The pointer's tip lands on the transducer bar's black top edge.
  const QPoint pointer[] = {{x + 300, 115}, {x + 315, 120}, {x + 330, 115}};
  canvas.Polyline(pointer);
}

// Clears the thread that ran past the body's ends.
void ClearHousingGaps(RasterCanvas& canvas) {
  canvas.SetBrushColor(platform::clWhite);
  canvas.FillRect(170, 71, 190, 109);
  canvas.FillRect(440, 71, 460, 109);
}

void DrawShaftAndCoupling(RasterCanvas& canvas) {
  for (int i = 1; i <= 5; ++i) {
    SetPenAndBrush(canvas, Grey(40 * i + 20));
    canvas.Rectangle(115, 80 + 2 * i, 190, 100 - 2 * i);
    canvas.Rectangle(440, 80 + 2 * i, 480, 100 - 2 * i);
  }
  for (int i = 1; i <= 6; ++i) {  // journals: the screw's plain ends in the housings
    SetPenAndBrush(canvas, Grey(30 * i + 20));
    canvas.Rectangle(170, 76 + 2 * i, 190, 104 - 2 * i);
    canvas.Rectangle(440, 76 + 2 * i, 460, 104 - 2 * i);
  }
  for (int i = 1; i <= 9; ++i) {
    SetPenAndBrush(canvas, Grey(20 * i + 20));
    canvas.Rectangle(124, 66 + 2 * i, 140, 114 - 2 * i);
  }
  canvas.SetPenColor(platform::clBlack);
  canvas.MoveTo(132, 68);
  canvas.LineTo(132, 112);
}

// The steps that depend on the thread phase alone; they draw inside the band only and
// cover all of it.
void DrawBandBeforeCarriage(RasterCanvas& canvas, int screwPhase) {
  canvas.SetBrushColor(platform::clWhite);
  canvas.FillRect(BandLeft, BandTop, BandRight, BandBottom);
  canvas.SetPenWidth(1);
  DrawScrewBody(canvas);
  DrawThread(canvas, screwPhase);
  DrawGuideAndHousings(canvas);
}

void DrawCarriageAndFixedPieces(RasterCanvas& canvas, int carriageX) {
  DrawCarriage(canvas, std::clamp(carriageX, -CarriageDrawLimit, CarriageDrawLimit));
  ClearHousingGaps(canvas);
  DrawShaftAndCoupling(canvas);
}

}  // namespace

void DrawMachine(RasterCanvas& canvas) {
  DrawMotor(canvas);
  DrawTransducerAndAmplifier(canvas);
  DrawComparisonNode(canvas);
  DrawSignalLines(canvas);
}

void DrawScrewAndCarriage(RasterCanvas& canvas, int carriageX, int screwPhase) {
  DrawBandBeforeCarriage(canvas, screwPhase);
  DrawCarriageAndFixedPieces(canvas, carriageX);
}

void ScrewAndCarriagePainter::Draw(RasterCanvas& canvas, int carriageX, int screwPhase) {
  // The kept rows are what a solid pen and brush draw without a clip; any other canvas
  // takes the plain way.
  const bool keptRowsFit = canvas.PenStyle() == platform::LineStyle::Solid &&
                           canvas.BrushStyle() == platform::FillStyle::Solid &&
                           canvas.ClipRect() == QRect(0, 0, canvas.Width(), canvas.Height()) &&
                           canvas.Width() >= BandRight && canvas.Height() >= BandBottom &&
                           screwPhase >= -MaxPhase && screwPhase <= MaxPhase;
  if (!keptRowsFit) {
    DrawScrewAndCarriage(canvas, carriageX, screwPhase);
    return;
  }
  QImage& thread = thread_[static_cast<std::size_t>(screwPhase + MaxPhase)];
  if (thread.isNull()) {
    RasterCanvas scratch(BandRight, BandBottom);
    DrawBandBeforeCarriage(scratch, screwPhase);
    const QImage& drawn = scratch.Image();
    const int width = BandRight - BandLeft;
    thread = drawn.copy(BandLeft, ThreadTop, width, ThreadBottom - ThreadTop);
    if (above_.isNull()) {
      above_ = drawn.copy(BandLeft, BandTop, width, ThreadTop - BandTop);
      below_ = drawn.copy(BandLeft, ThreadBottom, width, BandBottom - ThreadBottom);
    }
  }
  canvas.PutImage(BandLeft, BandTop, above_);
  canvas.PutImage(BandLeft, ThreadTop, thread);
  canvas.PutImage(BandLeft, ThreadBottom, below_);
  // The pen as the guide and housings leave it; every later step sets its own brush.
  canvas.SetPenColor(platform::clBlack);
  canvas.SetPenWidth(1);
  DrawCarriageAndFixedPieces(canvas, carriageX);
}

}  // namespace animation
