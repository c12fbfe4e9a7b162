#include "animation/marker_strip.h"

#include <gtest/gtest.h>

namespace animation {
namespace {

constexpr platform::TColor Red = platform::RGB(255, 0, 0);

TEST(DrawMarker, EightColumnsOfRedOnAStripRedrawnWhole) {
  platform::RasterCanvas strip(StripWidth, StripHeight);
  DrawMarker(strip, 40);
  DrawMarker(strip, 108);
  const struct {
    int x, y;
    platform::TColor colour;
  } pixels[] = {
      {104, 5, Red},  {111, 24, Red}, {103, 5, platform::clWhite}, {112, 5, platform::clWhite},
      {104, 4, platform::clWhite},    {104, 25, platform::clWhite},
      {36, 10, platform::clWhite},  // no trace of the earlier position
      {43, 10, platform::clWhite},
  };
  for (const auto& p : pixels) {
    EXPECT_EQ(strip.PixelAt(p.x, p.y), p.colour) << p.x << ", " << p.y;
  }
}

}  // namespace
}  // namespace animation
