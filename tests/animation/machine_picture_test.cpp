#include "animation/machine_picture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QString>
#include <tuple>
#include <utility>
#include <vector>

namespace animation {
namespace {

using platform::Grey;
using platform::RasterCanvas;
using platform::RGB;
using platform::TColor;

constexpr TColor White = platform::clWhite, Black = platform::clBlack;
constexpr TColor Block = RGB(210, 130, 130), Signal = RGB(170, 50, 50), InnerBand = RGB(170, 200, 170);

struct Pixel { int x, y; TColor color; };

void ExpectPixels(const RasterCanvas& canvas, const std::vector<Pixel>& pixels) {
  for (const Pixel& p : pixels) EXPECT_EQ(canvas.PixelAt(p.x, p.y), p.color) << p.x << ", " << p.y;
}

// The thread's phase as the simulation computes it: 2C mod 15, with C's sign.
int PhaseFor(int carriageX) { return (2 * carriageX) % 15; }

RasterCanvas Picture(int carriageX) {
  RasterCanvas canvas(PictureWidth, PictureHeight);
  DrawMachine(canvas);
  DrawScrewAndCarriage(canvas, carriageX, PhaseFor(carriageX));
  return canvas;
}

// The picture without what DrawScrewAndCarriage redraws: its band, and the shaft end and
// coupling left of it.
QImage OutsideTheBand(const RasterCanvas& canvas) {
  QImage image = canvas.Image().copy();
  {
    QPainter painter(&image);
    painter.fillRect(145, 1, 340, 119, Qt::white);
    painter.fillRect(115, 68, 30, 44, Qt::white);
  }
  return image;
}

TEST(DrawMachine, FixedPartsAtTheirPlaces) {
  RasterCanvas canvas(PictureWidth, PictureHeight);
  DrawMachine(canvas);
  ExpectPixels(canvas, {
      // Motor: outer band RGB(30, 32, 30) over columns 10..114, rows 48..131; the innermost band.
      {10, 48, RGB(30, 32, 30)}, {114, 131, RGB(30, 32, 30)}, {60, 50, RGB(40, 44, 40)}, {9, 90, White},
      {115, 90, White}, {60, 47, White}, {20, 76, InnerBand}, {100, 103, InnerBand}, {100, 104, RGB(160, 188, 160)},
      // Transducer bar: black outline on columns 190..439, rows 120..139.
      {190, 120, Black}, {439, 139, Black}, {300, 130, Block}, {191, 121, Block}, {189, 125, White},
      {440, 130, White}, {300, 119, White}, {300, 140, White},
      // Comparison node and its cross, whose diagonals leave out their end pixels.
      {169, 209, Black}, {169, 210, White}, {160, 190, Block}, {170, 190, Black}, {160, 180, Black},
      {160, 200, Black}, {184, 204, Black}, {185, 205, White}, {185, 175, White},
      // 2-pixel signal lines lie on the row above their path and on it.
      {180, 129, Signal}, {180, 130, Signal}, {180, 128, White}, {180, 131, White},
      // Arrowheads: into the node, onto the amplifier, the command, into the motor.
      {170, 167, Signal}, {166, 165, Signal}, {174, 165, Signal}, {160, 165, White}, {131, 190, Signal},
      {135, 185, Signal}, {135, 195, Signal}, {140, 186, White}, {195, 185, Signal}, {195, 195, Signal},
      {205, 186, White}, {15, 137, Signal}, {25, 137, Signal}, {12, 137, White},
  });
  // "MOTOR" on its own box, 10 greener than the band around it.
  const QSize cell = canvas.TextExtent(QStringLiteral("MOTOR"));
  ExpectPixels(canvas, {{40, 80, RGB(170, 190, 170)}, {39 + cell.width(), 79 + cell.height(), RGB(170, 190, 170)},
                        {39, 80, InnerBand}, {40 + cell.width(), 79 + cell.height(), InnerBand}});
}

TEST(DrawMachine, DrawingAgainChangesNoPixel) {
  RasterCanvas canvas = Picture(0);  // the pen and brush as the last drawing left them, as at a Reset
  const QImage before = canvas.Image().copy();
  DrawMachine(canvas);
  EXPECT_TRUE(canvas.Image() == before);
}

TEST(DrawScrewAndCarriage, CarriageAndThreadFollowThePosition) {
  for (const int c : {0, -110, 110, 115}) {
    SCOPED_TRACE(testing::Message() << "CarriageX " << c);
    const RasterCanvas canvas = Picture(c);
    ExpectPixels(canvas, {
        // The table over columns c+260..c+369, rows 25..59; the nut over c+300..c+329.
        {c + 260, 25, Grey(50)}, {c + 369, 59, Grey(50)}, {c + 259, 40, White}, {c + 370, 40, White},
        {c + 300, 24, White}, {c + 300, 60, Grey(20)}, {c + 329, 114, Grey(20)}, {c + 299, 110, White},
        {c + 330, 110, White},
        // The pointer's V, its tip on the bar's edge and its end pixel left out.
        {c + 315, 120, Black}, {c + 315, 119, White}, {c + 312, 119, Black}, {c + 318, 119, Black},
        {c + 300, 115, Black}, {c + 330, 115, White},
    });
    // Each turn whose top edge shows (on the body, clear of the nut) spans columns
    // 16k + phase + 184..192 of row 72.
    int turnsSeen = 0;
    for (int left = PhaseFor(c) + 168; left + 9 <= 439; left += 16) {
      if (left > 190 && (left + 9 < c + 300 || left - 1 > c + 329)) {
        ++turnsSeen;
        ExpectPixels(canvas, {{left - 1, 72, White}, {left, 72, Grey(20)}, {left + 8, 72, Grey(20)},
                              {left + 9, 72, White}});
      }
    }
    EXPECT_GE(turnsSeen, 12);
  }
  // At rest the leftmost turn, from column 165, shows only its lower tip right of the
  // housing gap, and both gaps are white.
  ExpectPixels(Picture(0), {{190, 102, Grey(20)}, {191, 102, Grey(20)}, {192, 102, White}, {175, 74, White},
                            {185, 105, White}, {445, 74, White}, {455, 105, White}});
}

TEST(DrawScrewAndCarriage, DependsOnlyOnThePositionAndChangesNothingOutsideItsBand) {
  const QImage atRest = OutsideTheBand(Picture(0));
  const struct { int carriageX, drawnAt; } rows[] = {{110, 110}, {-37, -37}, {116, 115}, {-1000, -115}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.carriageX);
    RasterCanvas moved = Picture(-110);
    DrawScrewAndCarriage(moved, 37, PhaseFor(37));
    DrawScrewAndCarriage(moved, r.carriageX, PhaseFor(r.drawnAt));
    EXPECT_TRUE(moved.Image() == Picture(r.drawnAt).Image()) << "something of an earlier position is left";
    EXPECT_TRUE(OutsideTheBand(moved) == atRest);
  }
}

// The painter the window's tick uses against the plain drawing, call after call on the
// same pictures: every position the band holds and beyond it, phases of either sign, and
// canvases it cannot take its kept rows to (a clip, a clear brush, a phase out of range).
TEST(ScrewAndCarriagePainter, DrawsWhatDrawScrewAndCarriageDraws) {
  struct Setup {
    const char* what;
    void (*prepare)(RasterCanvas&);
  };
  const Setup setups[] = {
      {"plain canvas", [](RasterCanvas&) {}},
      {"clipped", [](RasterCanvas& c) { c.IntersectClip(200, 30, 400, 100); }},
      {"clear brush", [](RasterCanvas& c) { c.SetBrushStyle(platform::FillStyle::Clear); }},
  };
  for (const Setup& setup : setups) {
    SCOPED_TRACE(setup.what);
    RasterCanvas plain(PictureWidth, PictureHeight);
    RasterCanvas painted(PictureWidth, PictureHeight);
    for (RasterCanvas* c : {&plain, &painted}) {
      DrawMachine(*c);
      setup.prepare(*c);
    }
    ScrewAndCarriagePainter painter;
    std::vector<std::pair<int, int>> calls;
    for (int c = -125; c <= 125; c += 3) calls.emplace_back(c, PhaseFor(c));
    for (int c = 120; c >= -120; c -= 7) calls.emplace_back(c, PhaseFor(c));
    calls.insert(calls.end(), {{0, 15}, {3, -20}, {0, 0}});
    for (const auto& [carriageX, phase] : calls) {
      DrawScrewAndCarriage(plain, carriageX, phase);
      painter.Draw(painted, carriageX, phase);
      ASSERT_TRUE(painted.Image() == plain.Image()) << carriageX << ", phase " << phase;
      ASSERT_EQ(std::tuple(painted.PenColor(), painted.PenWidth(), painted.BrushColor(), painted.PenPos()),
                std::tuple(plain.PenColor(), plain.PenWidth(), plain.BrushColor(), plain.PenPos()));
    }
  }
}

}  // namespace
}  // namespace animation
