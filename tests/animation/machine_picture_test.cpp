#include "animation/machine_picture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <initializer_list>

namespace animation {
namespace {

using platform::Grey;
using platform::RasterCanvas;
using platform::RGB;
using platform::TColor;

constexpr TColor White = platform::clWhite;
constexpr TColor Black = platform::clBlack;
constexpr TColor Block = RGB(210, 130, 130);
constexpr TColor Signal = RGB(170, 50, 50);
constexpr TColor InnerMotorBand = RGB(170, 200, 170);
constexpr TColor MotorLabel = RGB(170, 190, 170);

// The thread's phase for a carriage position as the simulation computes it: the
// remainder of 2C by 15, with C's sign.
int PhaseFor(int carriageX) { return (2 * carriageX) % 15; }

struct Pixel {
  const char* what;
  int x, y;
  TColor color;
};

void ExpectPixels(const RasterCanvas& canvas, std::initializer_list<Pixel> pixels) {
  for (const Pixel& p : pixels) {
    EXPECT_EQ(canvas.PixelAt(p.x, p.y), p.color)
        << p.what << " at (" << p.x << ", " << p.y << "): " << std::hex << canvas.PixelAt(p.x, p.y);
  }
}

RasterCanvas Picture(int carriageX) {
  RasterCanvas canvas(PictureWidth, PictureHeight);
  DrawMachine(canvas);
  DrawScrewAndCarriage(canvas, carriageX, PhaseFor(carriageX));
  return canvas;
}

// The band DrawScrewAndCarriage clears and the shaft end and coupling left of it.
bool RedrawnOnEveryTick(int x, int y) {
  return (x >= 145 && x <= 484 && y >= 1 && y <= 119) || (x >= 115 && x <= 144 && y >= 68 && y <= 111);
}

TEST(DrawMachine, FixedPartsAtTheirPlaces) {
  RasterCanvas canvas(PictureWidth, PictureHeight);
  DrawMachine(canvas);
  ExpectPixels(canvas, {
      {"motor, outer band top", 10, 48, RGB(30, 32, 30)},
      {"motor, outer band bottom", 114, 131, RGB(30, 32, 30)},
      {"motor, second band", 60, 50, RGB(40, 44, 40)},
      {"motor, outer band, its upper row", 60, 130, RGB(30, 32, 30)},
      {"motor, inner band top", 20, 76, InnerMotorBand},
      {"motor, inner band bottom", 100, 103, InnerMotorBand},
      {"motor, band next to inner", 100, 104, RGB(160, 188, 160)},
      {"left of the motor", 9, 90, White},
      {"above the motor", 60, 47, White},
      {"right of the motor", 115, 90, White},
      {"bar, top-left corner", 190, 120, Black},
      {"bar, top-right corner", 439, 120, Black},
      {"bar, bottom-right corner", 439, 139, Black},
      {"bar, inside", 300, 130, Block},
      {"bar, inside by its corner", 191, 121, Block},
      {"left of the bar", 189, 125, White},
      {"right of the bar", 440, 130, White},
      {"above the bar", 300, 119, White},
      {"below the bar", 300, 140, White},
      {"amplifier, corner", 30, 160, Black},
      {"amplifier, far corner", 129, 219, Black},
      {"amplifier, inside", 31, 161, Block},
      {"right of the amplifier", 130, 165, White},
      {"below the amplifier", 60, 220, White},
      {"node, bottom", 169, 209, Black},
      {"below the node", 169, 210, White},
      {"node, inside", 160, 190, Block},
      {"cross, centre", 170, 190, Black},
      {"cross, falling diagonal", 160, 180, Black},
      {"cross, rising diagonal", 160, 200, Black},
      {"cross, falling diagonal's last pixel", 184, 204, Black},
      {"cross, falling diagonal's end left out", 185, 205, White},
      {"cross, rising diagonal's end left out", 185, 175, White},
      // The 2-pixel signal lines lie on the rows above and on their path.
      {"feedback line", 180, 129, Signal},
      {"feedback line", 180, 130, Signal},
      {"above the feedback line", 180, 128, White},
      {"below the feedback line", 180, 131, White},
      {"drive line up", 19, 160, Signal},
      {"drive line up", 20, 160, Signal},
      {"left of drive line", 18, 160, White},
      {"right of drive line", 21, 160, White},
      {"arrow into the node", 170, 167, Signal},
      {"arrow into the node, barb", 166, 165, Signal},
      {"arrow into the node, barb", 174, 165, Signal},
      {"beside the arrow into the node", 160, 165, White},
      {"arrow onto the amplifier, barb", 135, 185, Signal},
      {"arrow onto the amplifier, barb", 135, 195, Signal},
      {"arrow onto the amplifier, tip", 131, 190, Signal},
      {"beside the amplifier's arrow", 140, 186, White},
      {"command arrow, barb", 195, 185, Signal},
      {"command arrow, barb", 195, 195, Signal},
      {"command line", 205, 190, Signal},
      {"beside the command line", 205, 186, White},
      {"right of the command line", 211, 190, White},
      {"arrow into the motor, barb", 15, 137, Signal},
      {"arrow into the motor, barb", 25, 137, Signal},
      {"beside the arrow into the motor", 12, 137, White},
  });
  EXPECT_EQ(canvas.PenWidth(), 2);
  EXPECT_EQ(canvas.PenColor(), Signal);
  EXPECT_EQ(canvas.BrushColor(), Signal);
}

TEST(DrawMachine, LabelsSitOnTheirBoxes) {
  RasterCanvas canvas(PictureWidth, PictureHeight);
  DrawMachine(canvas);
  const struct {
    QString text;
    int x, y;
    TColor background, around;
  } rows[] = {
      // The label's box differs from the band under it by 10 in green.
      {QStringLiteral("MOTOR"), 40, 80, MotorLabel, InnerMotorBand},
      {QStringLiteral("CONVERTER-"), 40, 174, Block, Block},
      {QStringLiteral("AMPLIFIER"), 45, 194, Block, Block},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text.toStdString());
    const QSize cell = canvas.TextExtent(r.text);
    int glyphPixels = 0;
    for (int y = r.y; y < r.y + cell.height(); ++y) {
      for (int x = r.x; x < r.x + cell.width(); ++x) {
        const TColor c = canvas.PixelAt(x, y);
        glyphPixels += c == Black;
        if (c != Black) {
          EXPECT_EQ(c, r.background) << x << ", " << y;
        }
      }
    }
    EXPECT_GT(glyphPixels, 40);
    EXPECT_EQ(canvas.PixelAt(r.x - 1, r.y), r.around);
    EXPECT_EQ(canvas.PixelAt(r.x + cell.width(), r.y + cell.height() - 1), r.around);
  }
}

TEST(DrawMachine, DrawingAgainChangesNoPixel) {
  // As at a Reset: the pen and brush are where the last drawing left them.
  RasterCanvas canvas = Picture(0);
  const QImage before = canvas.Image().copy();
  DrawMachine(canvas);
  EXPECT_TRUE(canvas.Image() == before);
  DrawMachine(canvas);
  EXPECT_TRUE(canvas.Image() == before);
}

TEST(DrawScrewAndCarriage, AtRest) {
  const RasterCanvas canvas = Picture(0);
  ExpectPixels(canvas, {
      {"table, top-left", 260, 25, Grey(50)},
      {"table, bottom-right", 369, 59, Grey(50)},
      {"left of the table", 259, 40, White},
      {"right of the table", 370, 40, White},
      {"above the table", 300, 24, White},
      {"nut, top", 300, 60, Grey(20)},
      {"nut, bottom-right", 329, 114, Grey(20)},
      {"nut over the screw", 315, 90, Grey(20)},
      {"left of the nut", 299, 110, White},
      {"right of the nut", 330, 110, White},
      {"pointer, start", 300, 115, Black},
      {"pointer, end left out", 330, 115, White},
      {"pointer, left arm", 312, 119, Black},
      {"pointer, right arm", 318, 119, Black},
      {"pointer, above its tip", 315, 119, White},
      {"pointer, tip on the bar's edge", 315, 120, Black},
      // The leftmost turn (k = -1) shows only its lower tip, right of the housing gap.
      {"leftmost turn's tip", 190, 102, Grey(20)},
      {"leftmost turn's tip", 191, 102, Grey(20)},
      {"beside the leftmost turn's tip", 192, 102, White},
      {"second turn's top edge, left", 190, 72, Grey(20)},
      {"second turn's top edge, right", 192, 72, Grey(20)},
      {"between turns above the body", 195, 77, White},
      {"body's top band between turns", 195, 78, Grey(50)},
      {"body's axis between turns", 202, 90, Grey(200)},
      {"left housing gap", 175, 74, White},
      {"left housing gap", 185, 105, White},
      {"right housing gap", 445, 74, White},
      {"right housing gap", 455, 105, White},
      {"guide, top edge", 250, 60, Black},
      {"guide, inside", 250, 64, White},
      {"guide, bottom edge", 250, 67, Black},
      {"guide, dark left end", 160, 64, Grey(20)},
      {"guide, dark right end", 470, 64, Grey(20)},
      {"right of the guide", 480, 64, White},
      {"left post", 155, 75, Grey(20)},
      {"left post, outline", 150, 75, Black},
      {"left post, bottom", 160, 111, Black},
      {"below the left post", 160, 112, White},
      {"right post", 470, 75, Grey(20)},
      {"right post, outline", 479, 100, Black},
      {"right of the right post", 480, 100, White},
      {"shaft, outer band", 118, 82, Grey(60)},
      {"shaft, second band", 118, 84, Grey(100)},
      {"shaft, axis", 118, 89, Grey(180)},
      {"above the shaft", 118, 81, White},
      {"below the shaft", 118, 98, White},
      {"shaft through the right post", 465, 89, Grey(180)},
      {"right of the shaft", 480, 89, White},
      {"left journal, edge", 180, 78, Grey(50)},
      {"left journal, axis", 180, 89, Grey(200)},
      {"coupling, outer band", 124, 68, Grey(40)},
      {"coupling, inner band", 131, 90, Grey(200)},
      {"left of the coupling", 123, 70, White},
      {"right of the coupling", 140, 70, White},
      {"coupling joint", 132, 68, Black},
      {"coupling joint", 132, 111, Black},
      {"coupling joint's end left out", 132, 112, White},
  });
  EXPECT_EQ(canvas.PenWidth(), 1);
  EXPECT_EQ(canvas.PenColor(), Black);
  EXPECT_EQ(canvas.BrushColor(), Grey(200));
}

TEST(DrawScrewAndCarriage, CarriageAndThreadFollowThePosition) {
  for (int c : {-110, 110, 37, 7, 8, -7, -1}) {
    SCOPED_TRACE(testing::Message() << "CarriageX " << c);
    const RasterCanvas canvas = Picture(c);
    ExpectPixels(canvas, {
        {"table, left column", c + 260, 40, Grey(50)},
        {"table, right column", c + 369, 40, Grey(50)},
        {"left of the table", c + 259, 40, White},
        {"right of the table", c + 370, 40, White},
        {"nut, left column", c + 300, 110, Grey(20)},
        {"nut, right column", c + 329, 110, Grey(20)},
        {"left of the nut", c + 299, 110, White},
        {"right of the nut", c + 330, 110, White},
        {"pointer, start", c + 300, 115, Black},
        {"pointer, end left out", c + 330, 115, White},
    });
    // Every turn whose top edge shows (over the body, clear of the nut) stands where the
    // phase puts it: row 72, columns 16k + P + 184 to 16k + P + 192.
    int turnsSeen = 0;
    for (int k = -1; k <= 16; ++k) {
      const int left = 16 * k + PhaseFor(c) + 184;
      const int right = left + 8;
      if (left - 1 < 190 || right + 1 > 439 || (right + 1 >= c + 300 && left - 1 <= c + 329)) {
        continue;
      }
      ++turnsSeen;
      SCOPED_TRACE(testing::Message() << "turn " << k);
      ExpectPixels(canvas, {
          {"turn's top edge, left end", left, 72, Grey(20)},
          {"turn's top edge, right end", right, 72, Grey(20)},
          {"left of the turn", left - 1, 72, White},
          {"right of the turn", right + 1, 72, White},
      });
    }
    EXPECT_GE(turnsSeen, 12);
  }
}

TEST(DrawScrewAndCarriage, CarriageAtTheEndStopsCoversTheEndsOfTheScrew) {
  const struct {
    int carriageX, tableLeft, nutLeft;
  } rows[] = {{-110, 150, 190}, {110, 370, 410}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.carriageX);
    const RasterCanvas canvas = Picture(r.carriageX);
    ExpectPixels(canvas, {
        {"table, left column", r.tableLeft, 25, Grey(50)},
        {"table, right column", r.tableLeft + 109, 59, Grey(50)},
        {"nut, left column", r.nutLeft, 90, Grey(20)},
        {"nut, right column", r.nutLeft + 29, 90, Grey(20)},
        {"pointer, left arm", r.nutLeft + 12, 119, Black},
        {"pointer, above its tip", r.nutLeft + 15, 119, White},
    });
  }
}

TEST(DrawScrewAndCarriage, PictureDependsOnlyOnThePosition) {
  const int positions[] = {0, -110, 110, 37, 115, -115, 300, -300};
  const RasterCanvas atRest = Picture(0);
  for (int c : positions) {
    SCOPED_TRACE(testing::Message() << "CarriageX " << c);
    RasterCanvas moved = Picture(-110);
    DrawScrewAndCarriage(moved, 37, PhaseFor(37));
    DrawScrewAndCarriage(moved, c, PhaseFor(c));
    const RasterCanvas fresh = Picture(c);
    EXPECT_TRUE(moved.Image() == fresh.Image()) << "something of an earlier position is left";

    int outsideChanged = 0;
    int cornerNotWhite = 0;
    for (int y = 0; y < PictureHeight; ++y) {
      for (int x = 0; x < PictureWidth; ++x) {
        if (!RedrawnOnEveryTick(x, y)) {
          outsideChanged += moved.PixelAt(x, y) != atRest.PixelAt(x, y);
        }
        if (x >= 440 && y >= 120) {
          cornerNotWhite += moved.PixelAt(x, y) != White;
        }
      }
    }
    EXPECT_EQ(outsideChanged, 0);
    EXPECT_EQ(cornerNotWhite, 0) << "right of column 439 below row 119";
  }
}

TEST(DrawScrewAndCarriage, CarriageBeyond115IsDrawnAt115) {
  const struct {
    int carriageX, drawnAt;
  } rows[] = {{116, 115}, {1000, 115}, {-116, -115}, {-1000, -115}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.carriageX);
    RasterCanvas beyond(PictureWidth, PictureHeight);
    DrawMachine(beyond);
    DrawScrewAndCarriage(beyond, r.carriageX, 0);
    RasterCanvas limit(PictureWidth, PictureHeight);
    DrawMachine(limit);
    DrawScrewAndCarriage(limit, r.drawnAt, 0);
    EXPECT_TRUE(beyond.Image() == limit.Image());
  }
  const RasterCanvas right = Picture(115);
  EXPECT_EQ(right.PixelAt(484, 40), Grey(50)) << "the table reaches the band's last column";
  EXPECT_EQ(right.PixelAt(485, 40), White);
}

}  // namespace
}  // namespace animation
