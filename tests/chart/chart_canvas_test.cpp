#include "chart/chart_canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <functional>
#include <tuple>
#include <vector>

namespace chart {
namespace {

using platform::clBlack;
using platform::clBlue;
using platform::clGray;
using platform::clRed;
using platform::clSilver;
using platform::clWhite;

// A surface in the middle of a buffered frame on a white w x h buffer.
class Frame {
 public:
  explicit Frame(int width = 140, int height = 140) {
    canvas.PrepareFrame(nullptr, nullptr, clWhite, false, TRect{0, 0, width, height});
  }
  TColor At(int x, int y) const { return canvas.Buffer()->PixelAt(x, y); }
  // The bounding box of the pixels of one colour.
  QRect Extent(TColor color) const {
    QRect box;
    for (int y = 0; y < canvas.Buffer()->Height(); ++y) {
      for (int x = 0; x < canvas.Buffer()->Width(); ++x) {
        if (At(x, y) == color) {
          box |= QRect(x, y, 1, 1);
        }
      }
    }
    return box;
  }
  void Fill(TColor color) {
    canvas.SetPenStyle(psClear);
    canvas.SetBrushColor(color);
    canvas.DrawRectangle(0, 0, canvas.Buffer()->Width(), canvas.Buffer()->Height());
    canvas.ResetDrawingState();
  }

  TChartCanvas3D canvas;
};

TEST(ChartPen, SettersNotifyOnlyWhenTheValueIsNew) {
  const std::function<void(TChartPen&)> setters[] = {
      [](TChartPen& p) { p.SetColor(clRed); },     [](TChartPen& p) { p.SetWidth(3); },
      [](TChartPen& p) { p.SetStyle(psDash); },    [](TChartPen& p) { p.SetVisible(false); },
      [](TChartPen& p) { p.SetSmallDots(true); },
  };
  for (std::size_t i = 0; i < std::size(setters); ++i) {
    SCOPED_TRACE(i);
    TChartPen pen;
    int changes = 0;
    pen.OnChange = [&] { ++changes; };
    setters[i](pen);
    setters[i](pen);
    EXPECT_EQ(changes, 1);
  }

  TDottedGrayPen source;
  source.SetSmallDots(true);
  source.SetVisible(false);
  TChartAxisPen pen;
  int changes = 0;
  pen.OnChange = [&] { ++changes; };
  pen.Assign(source);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(std::tuple(pen.Color(), pen.Width(), pen.Style(), pen.Visible(), pen.SmallDots()),
            std::tuple(clGray, 1, psDot, false, true));
  pen.Assign(source);
  EXPECT_EQ(changes, 1) << "nothing new";
}

TEST(ChartBrush, ClearMeansWhiteAndAnyColourMeansSolid) {
  TChartBrush brush;
  int changes = 0;
  brush.OnChange = [&] { ++changes; };
  brush.SetColor(clRed);
  brush.SetStyle(bsClear);
  EXPECT_EQ(brush.Color(), clWhite);
  EXPECT_EQ(changes, 2);
  // White is what a clear brush holds already, and still turns it solid.
  brush.SetColor(clWhite);
  EXPECT_EQ(brush.Style(), bsSolid);
  EXPECT_EQ(changes, 3);
  brush.SetColor(clWhite);
  EXPECT_EQ(changes, 3);
}

TEST(ChartCanvas, GradientPaintsAtMost256BandsFromTheBottomUp) {
  const struct {
    const char* what;
    int height;  // of the rectangle, from row 10 of a buffer 20 rows higher
    int bands;
  } rows[] = {{"empty", 0, 0}, {"one row", 1, 1}, {"three rows", 3, 3}, {"600 rows", 600, 256}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    Frame frame(20, r.height + 20);
    frame.Fill(clRed);
    frame.canvas.FillGradient(TRect{0, 10, 20, 10 + r.height}, clWhite, clBlack, gdTopBottom);
    EXPECT_EQ(frame.At(5, 9), clRed);
    EXPECT_EQ(frame.At(5, 10 + r.height), clRed);
    // White to black in 256 bands steps one grey level per band, so every band shows.
    std::vector<int> heights;
    TColor previous = platform::clNone;
    for (int y = 10 + r.height - 1; y >= 10; --y) {
      if (frame.At(5, y) != previous) {
        heights.push_back(0);
        previous = frame.At(5, y);
      }
      ++heights.back();
    }
    ASSERT_EQ(static_cast<int>(heights.size()), r.bands);
    if (r.bands > 0) {
      EXPECT_EQ(frame.At(19, 10 + r.height - 1), clWhite) << "the start colour at the bottom";
      EXPECT_EQ(frame.At(0, 10), r.bands == 1 ? clWhite : clBlack);
      EXPECT_LE(*std::max_element(heights.begin(), heights.end()) - *std::min_element(heights.begin(), heights.end()),
                1);
    }
  }
}

TEST(ChartCanvas, GradientDirectionsPutTheStartColourOnTheirOwnSide) {
  const struct {
    TGradientDirection direction;
    bool stacked;
    TColor nearEdge, farEdge;  // bottom and top rows when stacked, else right and left columns
  } rows[] = {
      {gdTopBottom, true, clWhite, clSilver},
      {gdBottomTop, true, clSilver, clWhite},
      {gdLeftRight, false, clWhite, clSilver},
      {gdRightLeft, false, clSilver, clWhite},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.direction);
    Frame frame(100, 60);
    frame.canvas.FillGradient(TRect{0, 0, 100, 60}, clWhite, clSilver, r.direction);
    if (r.stacked) {
      EXPECT_EQ(frame.At(50, 59), r.nearEdge);
      EXPECT_EQ(frame.At(50, 0), r.farEdge);
      EXPECT_EQ(frame.At(0, 30), frame.At(99, 30)) << "bands run across";
    } else {
      EXPECT_EQ(frame.At(99, 30), r.nearEdge);
      EXPECT_EQ(frame.At(0, 30), r.farEdge);
      EXPECT_EQ(frame.At(50, 0), frame.At(50, 59)) << "bands run down";
    }
  }
}

TEST(ChartCanvas, ClipsToTheCubeAndToIntersections) {
  Frame frame;
  frame.canvas.ClipToCube(TRect{10, 20, 110, 120}, 0, 0);
  frame.canvas.SetBrushColor(clRed);
  frame.canvas.SetPenColor(clRed);
  frame.canvas.DrawRectangle(0, 0, 140, 140);
  EXPECT_EQ(frame.Extent(clRed), QRect(QPoint(11, 21), QPoint(109, 118)));

  frame.canvas.ClipToRectangle(TRect{0, 0, 12, 22});
  frame.canvas.SetBrushColor(clBlue);
  frame.canvas.DrawRectangle(0, 0, 140, 140);
  EXPECT_EQ(frame.Extent(clBlue), QRect(11, 21, 1, 1));

  frame.canvas.RemoveClip();
  frame.canvas.LineBetween(0, 0, 3, 0);
  EXPECT_EQ(frame.At(0, 0), clRed);
}

TEST(ChartCanvas, LinesTakeTheLoadedChartPen) {
  TDottedGrayPen smallDots;
  smallDots.SetSmallDots(true);
  const struct {
    const char* what;
    TChartPen pen;
    int backgroundMode;
    const char* row9;  // columns 10..20 of rows 9 and 10 after a line (10, 10)-(20, 10):
    const char* row10;  // '#' pen, 'r' background, '.' untouched
  } rows[] = {
      {"end pixel left out", TChartPen(), cbmTransparent, "...........", "##########."},
      {"hidden", TChartHiddenPen(), cbmTransparent, "...........", "..........."},
      {"axis: 2 pixels", TChartAxisPen(), cbmTransparent, "###########", "###########"},
      {"dotted, transparent", TDottedGrayPen(), cbmTransparent, "...........", "###...###.."},
      {"dotted, opaque", TDottedGrayPen(), cbmOpaque, "...........", "###rrr###r."},
      {"small dots", smallDots, cbmTransparent, "...........", "#.#.#.#.#.."},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    Frame frame;
    frame.canvas.SetBackgroundColor(clRed);
    frame.canvas.SetBackgroundMode(r.backgroundMode);
    frame.canvas.UseChartPen(r.pen);
    frame.canvas.DrawHorizontalLine(10, 20, 10);
    const TColor ink = r.pen.Visible() ? r.pen.Color() : clBlack;
    for (int y : {9, 10}) {
      const char* expected = y == 9 ? r.row9 : r.row10;
      for (int i = 0; i < 11; ++i) {
        const TColor want = expected[i] == '#' ? ink : expected[i] == 'r' ? clRed : clWhite;
        EXPECT_EQ(frame.At(10 + i, y), want) << 10 + i << ", " << y;
      }
    }
    EXPECT_EQ(frame.At(10, 8), clWhite);
  }
}

TEST(ChartCanvas, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  const struct {
    const char* what;
    TPenStyle pen;
    TBrushStyle brush;
    TColor corner, inside;
  } rows[] = {
      {"both", psSolid, bsSolid, clBlack, clRed},
      {"clear brush", psSolid, bsClear, clBlack, clWhite},
      {"clear pen", psClear, bsSolid, clRed, clRed},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    Frame frame;
    frame.canvas.SetPenStyle(r.pen);
    frame.canvas.SetBrushColor(clRed);
    frame.canvas.SetBrushStyle(r.brush);
    frame.canvas.DrawRectangle(TRect{10, 10, 20, 16});
    EXPECT_EQ(frame.At(10, 10), r.corner);
    EXPECT_EQ(frame.At(19, 15), r.corner);
    EXPECT_EQ(frame.At(15, 12), r.inside);
    EXPECT_EQ(frame.At(20, 15), clWhite);
    EXPECT_EQ(frame.At(19, 16), clWhite);
  }
}

TEST(ChartCanvas, TextSitsOnItsReferencePointByTheAlignment) {
  const QString text = QStringLiteral("Oscilloscope");
  const struct {
    const char* what;
    int flags;
    std::function<QRect(int w, int h)> cell;  // for the reference point (100, 50)
  } rows[] = {
      {"left top", TA_LEFT | TA_TOP, [](int w, int h) { return QRect(100, 50, w, h); }},
      {"right top", TA_RIGHT | TA_TOP, [](int w, int h) { return QRect(100 - w, 50, w, h); }},
      {"centre bottom", TA_CENTER | TA_BOTTOM, [](int w, int h) { return QRect(100 - w / 2, 50 - h, w, h); }},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    Frame frame(200, 100);
    frame.canvas.UseFont(TChartFont(QStringLiteral("Tahoma"), 13, clBlue, true));
    frame.canvas.SetBackgroundColor(clRed);
    frame.canvas.SetBackgroundMode(cbmOpaque);
    frame.canvas.SetTextAlignment(r.flags);
    frame.canvas.DrawText(100, 50, text);
    const QRect cell = r.cell(frame.canvas.MeasureTextWidth(text), frame.canvas.TextLineHeight());
    EXPECT_EQ(frame.Extent(clRed) | frame.Extent(clBlue), cell);
    EXPECT_TRUE(cell.contains(frame.Extent(clBlue)));
  }
}

TEST(ChartCanvas, TextHasNoBoxWhenTransparentOrDrawnWithAClearBrush) {
  for (const bool clearBrush : {false, true}) {
    SCOPED_TRACE(clearBrush);
    Frame frame(100, 40);
    frame.canvas.SetBackgroundColor(clRed);
    frame.canvas.SetFontColor(platform::clBtnShadow);  // drawn converted
    frame.canvas.SetBackgroundMode(clearBrush ? cbmOpaque : cbmTransparent);
    if (clearBrush) {
      frame.canvas.SetBrushStyle(bsClear);  // as the axes do after a grid left the mode opaque
    }
    frame.canvas.DrawText(5, 5, QStringLiteral("Time, s"));
    EXPECT_TRUE(frame.Extent(clRed).isEmpty());
    EXPECT_FALSE(frame.Extent(clGray).isEmpty());
  }
}

TEST(ChartCanvas, RotatedTextAbove360TurnsOnceLess) {
  auto draw = [](int angle) {
    Frame frame(60, 120);
    frame.canvas.SetTextAlignment(TA_CENTER | TA_BOTTOM);
    frame.canvas.DrawRotatedText(30, 60, QStringLiteral("Support"), angle);
    return frame.canvas.Buffer()->Image().copy();
  };
  EXPECT_EQ(draw(450), draw(90));
  EXPECT_NE(draw(90), draw(0));
  EXPECT_NE(draw(90), draw(270));
}

TEST(ChartCanvas, RedrawsFromTheBufferOnlyWhileItIsValid) {
  TChartCanvas3D canvas;
  EXPECT_FALSE(canvas.RedrawFromBuffer(nullptr));

  const TRect window{216, 248, 705, 473};
  EXPECT_EQ(canvas.PrepareFrame(nullptr, nullptr, clWhite, false, window), (TRect{0, 0, 489, 225}));
  canvas.SetBrushColor(clRed);
  canvas.SetPenColor(clRed);
  canvas.DrawRectangle(0, 0, 1, 1);
  QImage screen(720, 480, QImage::Format_RGB32);
  screen.fill(Qt::white);
  {
    QPainter painter(&screen);
    canvas.PresentFrame(&painter, window);
  }
  EXPECT_EQ(screen.pixel(216, 248), qRgb(255, 0, 0));
  EXPECT_EQ(screen.pixel(215, 248), qRgb(255, 255, 255));
  EXPECT_EQ(canvas.FramesPresented(), 1);

  screen.fill(Qt::white);
  {
    QPainter painter(&screen);
    EXPECT_TRUE(canvas.RedrawFromBuffer(&painter));
  }
  EXPECT_EQ(screen.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(canvas.BufferCopies(), 1);
  canvas.MarkStale();
  EXPECT_FALSE(canvas.RedrawFromBuffer(nullptr));

  EXPECT_EQ(canvas.PrepareFrame(nullptr, nullptr, clWhite, false, TRect{0, 0, 300, 100}), (TRect{0, 0, 300, 100}));
  EXPECT_EQ(canvas.Buffer()->Image().size(), QSize(300, 100));
  EXPECT_EQ(canvas.Buffer()->PixelAt(0, 0), clWhite) << "a new buffer";
  canvas.PresentFrame(nullptr, TRect{0, 0, 300, 100});
  EXPECT_TRUE(canvas.RedrawFromBuffer(nullptr));

  canvas.SetBuffered(false);
  EXPECT_EQ(canvas.Buffer(), nullptr);
  EXPECT_EQ(canvas.PrepareFrame(nullptr, nullptr, clWhite, false, window), window);
  canvas.PresentFrame(nullptr, window);
  EXPECT_FALSE(canvas.RedrawFromBuffer(nullptr));
}

TEST(ChartCanvas, MonochromeFrameIsPresentedInBlackAndWhite) {
  TChartCanvas3D canvas;
  int repaints = 0;
  canvas.OnRepaintRequest = [&] { ++repaints; };
  canvas.SetMonochrome(true);
  canvas.SetMonochrome(true);
  EXPECT_EQ(repaints, 1);
  canvas.PrepareFrame(nullptr, nullptr, clWhite, false, TRect{0, 0, 4, 1});
  canvas.SetPenStyle(psClear);
  canvas.SetBrushColor(clSilver);
  canvas.DrawRectangle(0, 0, 2, 1);
  canvas.SetBrushColor(platform::RGB(0, 0, 128));
  canvas.DrawRectangle(2, 0, 4, 1);
  QImage screen(4, 1, QImage::Format_RGB32);
  {
    QPainter painter(&screen);
    canvas.PresentFrame(&painter, TRect{0, 0, 4, 1});
  }
  EXPECT_EQ(screen.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(screen.pixel(3, 0), qRgb(0, 0, 0));
}

TEST(ChartCanvas, ResetDrawingStateRestoresPenBrushFontAndBackground) {
  TChartCanvas3D canvas;
  const int lineHeight = canvas.TextLineHeight();
  canvas.UseChartPen(TChartAxisPen());
  canvas.SetBrushStyle(bsClear);
  canvas.UseFont(TChartFont(QStringLiteral("Arial"), 30, clRed));
  canvas.SetBackgroundColor(platform::clBtnFace);
  canvas.SetBackgroundMode(cbmOpaque);
  EXPECT_EQ(canvas.BackgroundColor(), platform::RGB(212, 208, 200)) << "converted";

  canvas.ResetDrawingState();
  EXPECT_EQ(std::tuple(canvas.PenColor(), canvas.PenWidth(), canvas.PenStyle(), canvas.BrushColor(),
                       canvas.BrushStyle(), canvas.FontColor(), canvas.BackgroundColor(), canvas.BackgroundMode()),
            std::tuple(clBlack, 1, psSolid, clWhite, bsSolid, clBlack, clWhite, cbmTransparent));
  EXPECT_EQ(canvas.Font().pixelSize(), 13);
  EXPECT_EQ(canvas.TextLineHeight(), lineHeight) << "a new surface starts reset";
  EXPECT_EQ(canvas.MeasureTextWidth(QString()) + canvas.MeasureTextHeight(QString()), 0);
}

}  // namespace
}  // namespace chart
