// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws the application icon at each size the desktop asks for, from the motif of the
// 32 x 32 window icon (app/icons/drivelab.xpm): the motor, the lead screw, the carriage
// riding it, the red target marker above and the red trace below.
//
// The shapes are laid out on the window icon's 32-unit grid and every edge is rounded to
// a whole pixel at the size drawn, so each PNG is sharp rather than a scaled bitmap.
//
// Usage: icon_render OUTPUT_FOLDER SIZE...   writes OUTPUT_FOLDER/SIZE/NAME.png
#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

struct Grid {
  int size;

  int At(double unit) const { return static_cast<int>(std::lround(unit * size / 32.0)); }
  // Outlines are one pixel up to 64 pixels and grow more slowly than the shapes beyond,
  // so the large icons do not look drawn with a marker pen.
  int Line() const { return std::max(1, At(0.5)); }
  QRect Box(double x0, double y0, double x1, double y1) const {
    return QRect(QPoint(At(x0), At(y0)), QPoint(At(x1) - 1, At(y1) - 1));
  }
};

QLinearGradient Across(const QRect& r, const QColor& edge, const QColor& middle) {
  QLinearGradient g(0, r.top(), 0, r.bottom() + 1);
  g.setColorAt(0, edge);
  g.setColorAt(0.5, middle);
  g.setColorAt(1, edge);
  return g;
}

// A filled box with an outline, unless the box is too small to show both: then it is
// filled with its fill alone, which keeps the colour readable at 16 pixels.
void OutlinedBox(QPainter& p, const Grid& grid, const QRect& r, const QColor& outline, const QBrush& fill) {
  const int w = grid.Line();
  if (r.width() <= 2 * w || r.height() <= 2 * w) {
    p.fillRect(r, fill);
    return;
  }
  p.fillRect(r, outline);
  p.fillRect(r.adjusted(w, w, -w, -w), fill);
}

QImage Draw(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  const Grid g{size};
  const int w = g.Line();
  // Below 32 pixels the fins, the nut and black threads would swallow the colours.
  const bool small = size < 32;
  // The window icon's motif fills rows 1 to 27; two units lower centres it.
  constexpr double down = 2;

  const QColor black(0, 0, 0), grey(0x80, 0x80, 0x80), silver(0xC0, 0xC0, 0xC0), white(0xFF, 0xFF, 0xFF);
  const QColor green(0, 0x80, 0), olive(0x80, 0x80, 0), navy(0, 0, 0x80), blue(0, 0, 0xFF);
  const QColor maroon(0x80, 0, 0), red(0xFF, 0, 0);

  // The lead screw, shaded as a round bar, with its thread every three units.
  const QRect screw = g.Box(11, 15 + down, 31, 19 + down);
  p.fillRect(screw, Across(screw, grey, white));
  for (double x = 16; x < 31; x += small ? 6 : 3) {
    p.fillRect(QRect(g.At(x), screw.top(), w, screw.height()), small ? grey : black);
  }

  // The motor: a shaded cylinder (green, olive, silver, white to the middle) with two fins.
  const QRect motor = g.Box(1, 10 + down, 11, 24 + down);
  QLinearGradient shade(0, motor.top(), 0, motor.bottom() + 1);
  shade.setColorAt(0, green);
  shade.setColorAt(0.25, olive);
  shade.setColorAt(0.45, white);
  shade.setColorAt(0.55, white);
  shade.setColorAt(0.75, olive);
  shade.setColorAt(1, green);
  OutlinedBox(p, g, motor, black, shade);
  p.fillRect(QRect(motor.left(), motor.top() + w, w, motor.height() - 2 * w), grey);
  for (double x : {4.0, 7.0}) {
    if (!small) {
      p.fillRect(QRect(g.At(x), motor.top(), w, motor.height()), black);
    }
  }

  // The coupling between motor and screw.
  const QRect coupling = g.Box(12, 13 + down, 15, 21 + down);
  OutlinedBox(p, g, coupling, grey, Across(coupling, silver, white));

  // The carriage on its nut.
  const QRect carriage = g.Box(19, 7 + down, 28, 15 + down);
  QLinearGradient lit(0, carriage.top(), 0, carriage.bottom() + 1);
  lit.setColorAt(0, QColor(0x60, 0x60, 0xFF));
  lit.setColorAt(1, blue);
  OutlinedBox(p, g, carriage, navy, lit);
  if (!small) {
    p.fillRect(g.Box(22, 14 + down, 25, 15 + down), black);
  }

  // The target marker above the carriage and the red trace below the machine.
  OutlinedBox(p, g, g.Box(21, 1 + down, 26, 6 + down), black, red);
  OutlinedBox(p, g, g.Box(15, 25 + down, 31, 28 + down), maroon, red);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: icon_render OUTPUT_FOLDER SIZE...\n", stderr);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 16 || size > 1024) {
      std::fprintf(stderr, "icon_render: size %s is outside 16..1024\n", argv[i]);
      return 2;
    }
    const QString sized = folder + QStringLiteral("/%1").arg(size);
    const QString file = sized + QStringLiteral("/" DRIVELAB_ICON_NAME ".png");
    if (!QDir().mkpath(sized) || !Draw(size).save(file, "PNG")) {
      std::fprintf(stderr, "icon_render: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
