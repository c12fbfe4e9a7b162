// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "animation/machine_picture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <tuple>
#include <utility>
#include <vector>

#include "animation/marker_strip.h"
#include "tests/support/reference_image.h"

namespace animation {
namespace {

using platform::RasterCanvas;

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
  QPainter painter(&image);
  painter.fillRect(ScrewAndCarriageBand, Qt::white);  // what the window repaints on a tick
  painter.fillRect(115, 68, 30, 44, Qt::white);
  return image;
}

TEST(MachinePicture, AtRestAtBothEndsAndOnTheWayWithTheMarkerStrip) {
  RasterCanvas strip(StripWidth, StripHeight);
  DrawMarker(strip, 40);
  DrawMarker(strip, 108);  // no trace of the earlier position stays
  EXPECT_TRUE(MatchesReference(
      Stacked({Picture(0).Image(), Picture(-110).Image(), Picture(37).Image(), Picture(115).Image(), strip.Image()}),
      "machine"));
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
  using Prepare = void (*)(RasterCanvas&);
  const Prepare setups[] = {[](RasterCanvas&) {}, [](RasterCanvas& c) { c.IntersectClip(200, 30, 400, 100); },
                            [](RasterCanvas& c) { c.SetBrushStyle(platform::FillStyle::Clear); }};
  for (const Prepare prepare : setups) {
    RasterCanvas plain(PictureWidth, PictureHeight), painted(PictureWidth, PictureHeight);
    for (RasterCanvas* c : {&plain, &painted}) {
      DrawMachine(*c);
      prepare(*c);
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
