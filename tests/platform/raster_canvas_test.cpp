#include "platform/raster_canvas.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPoint>
#include <QRect>
#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/fonts.h"

namespace platform {
namespace {

constexpr TColor Pen = RGB(200, 0, 0);
constexpr TColor Brush = RGB(0, 0, 200);
constexpr TColor Background = RGB(0, 200, 0);

using Pixels = std::set<std::pair<int, int>>;

Pixels PixelsOf(const RasterCanvas& canvas, TColor color) {
  Pixels found;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if (canvas.PixelAt(x, y) == color) {
        found.insert({x, y});
      }
    }
  }
  return found;
}

// Every pixel of the canvas against a rule: a whole small surface, not a golden image.
void ExpectEveryPixel(const RasterCanvas& canvas, const std::function<TColor(int, int)>& expected) {
  int wrong = 0;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if (canvas.PixelAt(x, y) != expected(x, y) && ++wrong <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << canvas.PixelAt(x, y)
                      << ", expected " << expected(x, y);
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

RasterCanvas PenAndBrushCanvas(int width, int height, int penWidth = 1) {
  RasterCanvas canvas(width, height);
  canvas.SetPenColor(Pen);
  canvas.SetBrushColor(Brush);
  canvas.SetPenWidth(penWidth);
  return canvas;
}

TEST(RasterCanvas, NewSurfaceIsWhiteWithBlackThinPenAndWhiteBrush) {
  const RasterCanvas canvas(7, 5);
  ExpectEveryPixel(canvas, [](int, int) { return clWhite; });
  EXPECT_EQ(canvas.PenColor(), clBlack);
  EXPECT_EQ(canvas.PenWidth(), 1);
  EXPECT_EQ(canvas.BrushColor(), clWhite);
  EXPECT_EQ(canvas.PenPos(), QPoint(0, 0));
  EXPECT_EQ(canvas.PixelAt(7, 0), clNone);
  EXPECT_EQ(canvas.PixelAt(0, -1), clNone);
}

TEST(RasterCanvas, ColoursReachTheImageInItsOwnByteOrder) {
  const struct {
    TColor color;
    QRgb shown;
    TColor readBack;
  } rows[] = {
      {RGB(1, 2, 3), qRgb(1, 2, 3), RGB(1, 2, 3)},
      {clBlue, qRgb(0, 0, 255), clBlue},
      {clBtnFace, qRgb(212, 208, 200), RGB(212, 208, 200)},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.color);
    RasterCanvas canvas(3, 3);
    canvas.SetBrushColor(r.color);
    canvas.FillRect(1, 1, 2, 2);
    EXPECT_EQ(canvas.Image().pixel(1, 1), r.shown);
    EXPECT_EQ(canvas.PixelAt(1, 1), r.readBack);
  }
}

TEST(RasterCanvas, RectanglesCoverExactlyTheirColumnsAndRows) {
  enum class Op { FillRect, Rectangle };
  const struct {
    const char* what;
    Op op;
    int x1, y1, x2, y2;
    TColor pen, brush;
  } rows[] = {
      {"fill", Op::FillRect, 3, 2, 9, 7, Pen, Brush},
      {"outlined", Op::Rectangle, 3, 2, 9, 7, Pen, Brush},
      {"pen and brush alike", Op::Rectangle, 3, 2, 9, 7, Brush, Brush},
      {"two by two: all outline", Op::Rectangle, 4, 4, 6, 6, Pen, Brush},
      {"one row: all outline", Op::Rectangle, 2, 5, 10, 6, Pen, Brush},
      {"zero height covers nothing", Op::Rectangle, 2, 5, 10, 5, Pen, Brush},
      {"swapped corners cover nothing", Op::FillRect, 9, 7, 3, 2, Pen, Brush},
      {"partly off the surface", Op::Rectangle, -4, -3, 5, 4, Pen, Brush},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    RasterCanvas canvas(12, 10);
    canvas.SetPenColor(r.pen);
    canvas.SetBrushColor(r.brush);
    if (r.op == Op::FillRect) {
      canvas.FillRect(r.x1, r.y1, r.x2, r.y2);
    } else {
      canvas.Rectangle(r.x1, r.y1, r.x2, r.y2);
    }
    ExpectEveryPixel(canvas, [&](int x, int y) {
      if (x < r.x1 || x >= r.x2 || y < r.y1 || y >= r.y2) {
        return clWhite;
      }
      const bool edge = x == r.x1 || x == r.x2 - 1 || y == r.y1 || y == r.y2 - 1;
      return (r.op == Op::Rectangle && edge) ? r.pen : r.brush;
    });
  }
}

TEST(RasterCanvas, ThinLinesLeaveOutTheirEndPixel) {
  const struct {
    const char* what;
    QPoint from, to;
    Pixels drawn;
  } rows[] = {
      {"right", {2, 3}, {6, 3}, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
      {"up", {4, 6}, {4, 3}, {{4, 6}, {4, 5}, {4, 4}}},
      {"diagonal", {1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}},
      {"shallow", {0, 0}, {6, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}},
      {"steep, leftwards", {5, 0}, {3, 6}, {{5, 0}, {5, 1}, {4, 2}, {4, 3}, {4, 4}, {3, 5}}},
      // Half-way between two rows the one nearer the start is taken, so direction matters.
      {"tie, forwards", {0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {"tie, backwards", {4, 2}, {0, 0}, {{4, 2}, {3, 2}, {2, 1}, {1, 1}}},
      {"zero length", {3, 3}, {3, 3}, {}},
      {"off the surface", {-2, -2}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    RasterCanvas canvas(8, 8);
    canvas.MoveTo(r.from.x(), r.from.y());
    canvas.LineTo(r.to.x(), r.to.y());
    EXPECT_EQ(PixelsOf(canvas, clBlack), r.drawn);
    EXPECT_EQ(canvas.PenPos(), r.to);
  }
}

TEST(RasterCanvas, LineToContinuesFromTheLeftOutEndPixel) {
  RasterCanvas canvas(10, 10);
  canvas.MoveTo(1, 1);
  canvas.LineTo(5, 1);
  EXPECT_EQ(canvas.PixelAt(5, 1), clWhite);
  canvas.LineTo(5, 4);
  EXPECT_EQ(PixelsOf(canvas, clBlack), (Pixels{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {5, 2}, {5, 3}}));
  EXPECT_EQ(canvas.PenPos(), QPoint(5, 4));
}

TEST(RasterCanvas, PolylineLeavesOutOnlyItsLastPoint) {
  RasterCanvas canvas(10, 10);
  const QPoint points[] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}};
  canvas.Polyline(points);
  EXPECT_EQ(PixelsOf(canvas, clBlack),
            (Pixels{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}, {4, 4}, {3, 4}, {2, 4}}));
  EXPECT_EQ(canvas.PenPos(), QPoint(0, 0));
}

TEST(RasterCanvas, WidePensAreCentredWithRoundEndsAndJoins) {
  const struct {
    const char* what;
    int width;
    std::vector<QPoint> path;
    Pixels drawn, blank;
  } rows[] = {
      // No pixel row is centred on an even-width path: it sits half a pixel up and left.
      {"2 px across", 2, {{5, 10}, {15, 10}},
       {{4, 9}, {4, 10}, {15, 9}, {15, 10}, {10, 9}, {10, 10}},
       {{10, 8}, {10, 11}, {3, 10}, {16, 10}}},
      {"2 px down", 2, {{10, 5}, {10, 15}},
       {{9, 4}, {10, 4}, {9, 15}, {10, 15}},
       {{8, 10}, {11, 10}, {10, 3}, {10, 16}}},
      {"3 px diagonal", 3, {{5, 5}, {15, 15}},
       {{10, 10}, {11, 9}, {9, 11}, {4, 4}, {16, 16}},
       {{12, 9}, {9, 12}, {3, 4}, {17, 16}}},
      // At width 5 the end's corners are cut off.
      {"5 px round ends", 5, {{10, 10}, {20, 10}},
       {{15, 8}, {15, 12}, {10, 8}, {10, 12}, {8, 9}, {8, 11}, {22, 9}, {22, 11}},
       {{15, 7}, {15, 13}, {10, 7}, {10, 13}, {8, 8}, {8, 12}, {7, 10}, {22, 8}, {22, 12}, {23, 10}}},
      // The outer corner of the join is round: neither mitred nor bevelled.
      {"5 px round join", 5, {{10, 10}, {20, 10}, {20, 20}},
       {{22, 9}, {21, 8}, {22, 10}, {20, 22}},
       {{22, 8}, {23, 10}}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    RasterCanvas canvas = PenAndBrushCanvas(30, 30, r.width);
    canvas.Polyline(r.path);
    for (const auto& [x, y] : r.drawn) {
      EXPECT_EQ(canvas.PixelAt(x, y), Pen) << x << ", " << y;
    }
    for (const auto& [x, y] : r.blank) {
      EXPECT_EQ(canvas.PixelAt(x, y), clWhite) << x << ", " << y;
    }
  }
}

TEST(RasterCanvas, PolygonIsOutlinedWithThePenAndFilledInside) {
  RasterCanvas canvas = PenAndBrushCanvas(14, 14);
  const QPoint triangle[] = {{0, 0}, {10, 0}, {0, 10}};
  canvas.Polygon(triangle);
  // The closed outline runs through every vertex; the fill takes what is strictly inside.
  ExpectEveryPixel(canvas, [](int x, int y) {
    if (x + y > 10) {
      return clWhite;
    }
    return (x == 0 || y == 0 || x + y == 10) ? Pen : Brush;
  });
}

TEST(RasterCanvas, SelfOverlappingPolygonFillsByTheAlternateRule) {
  RasterCanvas canvas = PenAndBrushCanvas(100, 100);
  const QPoint pentagram[] = {{50, 10}, {74, 82}, {12, 38}, {88, 38}, {26, 82}};
  canvas.Polygon(pentagram);
  EXPECT_EQ(canvas.PixelAt(50, 50), clWhite) << "the centre is crossed twice";
  EXPECT_EQ(canvas.PixelAt(50, 45), clWhite);
  EXPECT_EQ(canvas.PixelAt(50, 25), Brush) << "a point";
  EXPECT_EQ(canvas.PixelAt(25, 40), Brush) << "a point";
  EXPECT_EQ(canvas.PixelAt(50, 38), Pen) << "edges cross the inner pentagon";
  EXPECT_EQ(canvas.PixelAt(5, 5), clWhite);
}

TEST(RasterCanvas, EllipseFillsItsBoxInsideAnOutline) {
  const struct {
    int x1, y1, x2, y2, penWidth;
  } rows[] = {
      {5, 5, 45, 45, 1}, {3, 8, 23, 18, 1}, {10, 10, 17, 15, 1}, {5, 5, 45, 45, 3}, {5, 5, 45, 45, 2},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.x1 << "," << r.y1 << " - " << r.x2 << "," << r.y2 << " pen "
                                    << r.penWidth);
    RasterCanvas canvas = PenAndBrushCanvas(50, 50, r.penWidth);
    canvas.Ellipse(r.x1, r.y1, r.x2, r.y2);
    // A wider pen grows the ring outward by (width - 1) / 2 pixels, rounded down.
    const int grow = (r.penWidth - 1) / 2;
    int left = 50, right = -1, top = 50, bottom = -1;
    for (int y = 0; y < 50; ++y) {
      for (int x = 0; x < 50; ++x) {
        const TColor c = canvas.PixelAt(x, y);
        if (c != clWhite) {
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
          // Symmetric about the box's centre.
          EXPECT_EQ(canvas.PixelAt(r.x1 + r.x2 - 1 - x, r.y1 + r.y2 - 1 - y), c) << x << ", " << y;
        }
        if (c == Brush) {  // the fill never touches the outside
          EXPECT_NE(canvas.PixelAt(x - 1, y), clWhite) << x << ", " << y;
          EXPECT_NE(canvas.PixelAt(x + 1, y), clWhite) << x << ", " << y;
          EXPECT_NE(canvas.PixelAt(x, y - 1), clWhite) << x << ", " << y;
          EXPECT_NE(canvas.PixelAt(x, y + 1), clWhite) << x << ", " << y;
        }
      }
    }
    EXPECT_EQ(left, r.x1 - grow);
    EXPECT_EQ(right, r.x2 - 1 + grow);
    EXPECT_EQ(top, r.y1 - grow);
    EXPECT_EQ(bottom, r.y2 - 1 + grow);
    EXPECT_EQ(canvas.PixelAt(r.x1, r.y1), clWhite) << "the box's corner is outside";
    EXPECT_EQ(canvas.PixelAt((r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2), Brush);
    EXPECT_EQ(canvas.PixelAt((r.x1 + r.x2) / 2, r.y1 - grow + r.penWidth - 1), Pen) << "ring width";
    EXPECT_EQ(canvas.PixelAt((r.x1 + r.x2) / 2, r.y1 - grow + r.penWidth), Brush) << "ring width";
  }
}

TEST(RasterCanvas, TextCellBackgroundTakesTheBrushAndGlyphsTheFontColour) {
  const struct {
    TColor brush, font;
  } rows[] = {{RGB(170, 190, 170), clBlack}, {clWhite, clRed}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.font);
    RasterCanvas canvas(120, 40);
    canvas.SetBrushColor(r.brush);
    canvas.SetFontColor(r.font);
    const QString text = QStringLiteral("MOTOR");
    const QSize cell = canvas.TextExtent(text);
    ASSERT_GT(cell.width(), 20);
    ASSERT_GT(cell.height(), 10);
    canvas.TextOut(10, 5, text);
    int glyphPixels = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
      for (int x = 0; x < canvas.Width(); ++x) {
        const bool inCell = x >= 10 && x < 10 + cell.width() && y >= 5 && y < 5 + cell.height();
        const TColor c = canvas.PixelAt(x, y);
        if (!inCell) {
          EXPECT_EQ(c, clWhite) << x << ", " << y;
        } else if (c == r.font) {
          ++glyphPixels;
        } else {
          // No antialiasing: nothing between the two colours.
          EXPECT_EQ(c, r.brush) << x << ", " << y;
        }
      }
    }
    EXPECT_GT(glyphPixels, 30);
    EXPECT_EQ(canvas.PixelAt(10, 5), r.brush) << "the cell's top-left corner";
  }
}


// Row y as characters: 'P' pen, 'B' brush, 'G' background, '.' white.
std::string RowOf(const RasterCanvas& canvas, int y) {
  std::string row;
  for (int x = 0; x < canvas.Width(); ++x) {
    const TColor c = canvas.PixelAt(x, y);
    row += c == Pen ? 'P' : c == Brush ? 'B' : c == Background ? 'G' : c == clWhite ? '.' : '?';
  }
  return row;
}

QRect ExtentOf(const RasterCanvas& canvas, std::initializer_list<TColor> colors) {
  QRect box;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if (std::find(colors.begin(), colors.end(), canvas.PixelAt(x, y)) != colors.end()) {
        box |= QRect(x, y, 1, 1);
      }
    }
  }
  return box;
}

TEST(RasterCanvas, PenStylesPatternThinLinesAndFillGapsOnlyOnAnOpaqueBackground) {
  const struct {
    LineStyle style;
    bool opaque;
    int width;
    const char* row;  // a line from (0, 1) to (28, 1)
    int clipLeft = 0;
  } rows[] = {
      {LineStyle::Dot, false, 1, "PPP...PPP...PPP...PPP...PPP..."},
      {LineStyle::Dot, true, 1, "PPPGGGPPPGGGPPPGGGPPPGGGPPPG.."},
      {LineStyle::Dot, true, 1, ".....GPPPGGGPPPGGGPPPGGGPPPG..", 5},  // clipping keeps the pattern's place
      {LineStyle::Alternate, true, 1, "PGPGPGPGPGPGPGPGPGPGPGPGPGPG.."},
      {LineStyle::Dash, true, 1, "PPPPPPPPPPPPPPPPPPGGGGGGPPPP.."},
      {LineStyle::DashDot, false, 1, "PPPPPPPPP......PPP......PPPP.."},
      {LineStyle::DashDotDot, false, 1, "PPPPPPPPP...PPP...PPP...PPPP.."},
      {LineStyle::Clear, true, 1, ".............................."},
      {LineStyle::Dot, true, 3, "PPPPPPPPPPPPPPPPPPPPPPPPPPPPPP"},  // wide pens draw solid
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(r.style) << (r.opaque ? " opaque" : "") << " width "
                                    << r.width);
    RasterCanvas canvas = PenAndBrushCanvas(30, 3, r.width);
    canvas.SetPenStyle(r.style);
    canvas.SetOpaqueBackground(r.opaque);
    canvas.SetBackgroundColor(Background);
    canvas.IntersectClip(r.clipLeft, 0, 30, 3);
    canvas.MoveTo(0, 1);
    canvas.LineTo(28, 1);
    EXPECT_EQ(RowOf(canvas, 1), r.row);
  }

  // The pattern runs on across the corners of one path, upwards and diagonally too.
  RasterCanvas canvas = PenAndBrushCanvas(12, 12);
  canvas.SetPenStyle(LineStyle::Dot);
  const QPoint path[] = {{0, 5}, {4, 5}, {4, 0}, {9, 5}};
  canvas.Polyline(path);
  EXPECT_EQ(PixelsOf(canvas, Pen), (Pixels{{0, 5}, {1, 5}, {2, 5}, {4, 3}, {4, 2}, {4, 1}, {7, 3}, {8, 4}}));
}

TEST(RasterCanvas, ClearPenAndClearBrushLeaveTheirPartOut) {
  const struct {
    const char* what;
    bool ellipse;
    LineStyle pen;
    FillStyle brush;
    TColor centre;
  } rows[] = {
      {"ellipse, clear brush", true, LineStyle::Solid, FillStyle::Clear, clWhite},
      {"ellipse, clear pen", true, LineStyle::Clear, FillStyle::Solid, Brush},
      {"polygon, clear brush", false, LineStyle::Dot, FillStyle::Clear, clWhite},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    RasterCanvas canvas = PenAndBrushCanvas(20, 20);
    canvas.SetPenStyle(r.pen);
    canvas.SetBrushStyle(r.brush);
    const QPoint square[] = {{2, 2}, {17, 2}, {17, 17}, {2, 17}};
    r.ellipse ? canvas.Ellipse(2, 2, 18, 18) : canvas.Polygon(square);
    EXPECT_EQ(canvas.PixelAt(10, 10), r.centre);
    EXPECT_EQ(canvas.PixelAt(10, 2), r.pen == LineStyle::Clear ? Brush : Pen) << "top edge";
    EXPECT_EQ(PixelsOf(canvas, Pen).empty(), r.pen == LineStyle::Clear);
  }
}

TEST(RasterCanvas, ClipRectangleBoundsEveryOperation) {
  const std::function<void(RasterCanvas&)> operations[] = {
      [](RasterCanvas& c) { c.FillRect(0, 0, 20, 16); },
      [](RasterCanvas& c) { c.Ellipse(-4, -4, 24, 20); },
      [](RasterCanvas& c) {
        const QPoint triangle[] = {{-5, -5}, {30, 8}, {-5, 20}};
        c.Polygon(triangle);
      },
      [](RasterCanvas& c) {
        c.MoveTo(0, 0);
        c.LineTo(20, 16);
      },
      [](RasterCanvas& c) {
        c.SetPenWidth(5);
        c.MoveTo(0, 8);
        c.LineTo(20, 8);
      },
      [](RasterCanvas& c) {
        c.SetOpaqueBackground(true);
        c.DrawText(0, 16, QStringLiteral("WWWW"), 90);
      },
  };
  const QRect clip(QPoint(5, 4), QPoint(14, 11));
  for (std::size_t i = 0; i < std::size(operations); ++i) {
    SCOPED_TRACE(i);
    RasterCanvas canvas = PenAndBrushCanvas(20, 16);
    canvas.IntersectClip(2, 4, 15, 12);
    canvas.IntersectClip(5, 0, 18, 14);
    EXPECT_EQ(canvas.ClipRect(), clip);
    operations[i](canvas);
    ExpectEveryPixel(canvas, [&](int x, int y) { return clip.contains(x, y) ? canvas.PixelAt(x, y) : clWhite; });
    EXPECT_FALSE(ExtentOf(canvas, {Pen, Brush, clBlack}).isEmpty()) << "something inside";
  }
  RasterCanvas canvas = PenAndBrushCanvas(20, 16);
  canvas.IntersectClip(5, 4, 15, 12);
  canvas.RemoveClip();
  canvas.FillRect(0, 0, 1, 1);
  EXPECT_EQ(canvas.PixelAt(0, 0), Brush);
}

TEST(RasterCanvas, TextTurnsCounterClockwiseAboutItsAlignedReferencePoint) {
  const QString text = QStringLiteral("Label");
  const struct {
    int angle;
    int flags;
    std::function<QRect(int w, int h, int ascent)> cell;  // for the reference point (50, 50)
  } rows[] = {
      {0, AlignLeft | AlignTop, [](int w, int h, int) { return QRect(50, 50, w, h); }},
      {0, AlignLeft | AlignBaseline, [](int w, int h, int ascent) { return QRect(50, 50 - ascent, w, h); }},
      {90, AlignLeft | AlignTop, [](int w, int h, int) { return QRect(50, 50 - w, h, w); }},
      {180, AlignLeft | AlignTop, [](int w, int h, int) { return QRect(50 - w, 50 - h, w, h); }},
      {270, AlignLeft | AlignTop, [](int w, int h, int) { return QRect(50 - h, 50, h, w); }},
      // The axis titles: reading upwards, just left or right of the point, centred on it.
      {90, AlignCenter | AlignBottom, [](int w, int h, int) { return QRect(50 - h, 50 + w / 2 - w, h, w); }},
      {90, AlignCenter | AlignTop, [](int w, int h, int) { return QRect(50, 50 + w / 2 - w, h, w); }},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.angle << " degrees, flags " << r.flags);
    RasterCanvas canvas(100, 100);
    canvas.SetFontColor(Pen);
    canvas.SetOpaqueBackground(true);
    canvas.SetBackgroundColor(Background);
    canvas.SetTextAlign(r.flags);
    canvas.DrawText(50, 50, text, r.angle);
    const QSize extent = canvas.TextExtent(text);
    const QRect cell = r.cell(extent.width(), extent.height(), QFontMetrics(canvas.Font()).ascent());
    EXPECT_EQ(ExtentOf(canvas, {Pen, Background}), cell);
  }

  // A "T" turned a quarter to the left has its bar on the left.
  for (const int angle : {90, 270}) {
    SCOPED_TRACE(angle);
    RasterCanvas canvas(100, 100);
    canvas.SetFont(LayoutFont(QStringLiteral("Arial"), 30));
    canvas.DrawText(50, 50, QStringLiteral("T"), angle);
    const QRect glyph = ExtentOf(canvas, {clBlack});
    auto column = [&](int x) {
      int count = 0;
      for (int y = 0; y < 100; ++y) {
        count += canvas.PixelAt(x, y) == clBlack ? 1 : 0;
      }
      return count;
    };
    EXPECT_EQ(column(glyph.left()) > column(glyph.right()), angle == 90);
  }
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

TEST(RasterCanvasNotXor, AnOutlineDrawnTwiceGivesThePixelsBack) {
  RasterCanvas canvas(20, 20);
  canvas.SetBrushColor(RGB(10, 200, 30));
  canvas.FillRect(0, 0, 20, 10);
  const QImage before = canvas.Image().copy();
  canvas.NotXorOutline(2, 3, 12, 15, RGB(212, 208, 200));
  // Inverse of pen xor pixel, per channel.
  EXPECT_EQ(canvas.PixelAt(5, 3), RGB(~(212 ^ 10) & 0xFF, ~(208 ^ 200) & 0xFF, ~(200 ^ 30) & 0xFF));
  EXPECT_EQ(canvas.PixelAt(2, 3), canvas.PixelAt(5, 3)) << "the corner inverted once, not twice";
  EXPECT_EQ(canvas.PixelAt(6, 8), RGB(10, 200, 30)) << "inside untouched";
  EXPECT_EQ(canvas.PixelAt(12, 8), RGB(10, 200, 30)) << "the box ends before x2";
  canvas.NotXorOutline(2, 3, 12, 15, RGB(212, 208, 200));
  EXPECT_EQ(canvas.Image(), before);
}

}  // namespace
}  // namespace platform
