// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Getting a picture the program drew itself onto the screen: the rectangles of a widget's
// paint region are copied row by row straight into its window's backing store, the pixels
// the window system shows. Qt's image drawing does the same copy by spans, spread over a
// pool of threads whose waking costs more than the copy; a copy on the painting thread
// costs a few microseconds.
//
// Where the backing store is not a plain image of the picture's format and scale (a
// high-density screen, another window system), the painter draws the image as usual.

#include <QImage>
#include <QPoint>
#include <QRegion>

class QPaintDevice;
class QWidget;

namespace platform {

// Where a widget's paint event paints: the device its painter would be redirected to, and
// the offset it would be redirected by (QWidget::redirected, which only the widget can ask).
struct PaintTarget {
  QPaintDevice* device = nullptr;
  QPoint offset;
};

// The widget's picture `image` copied over `region` (widget coordinates) during the widget's
// paint event; with no painter unless the copy must go through one.
void CopyToScreen(QWidget& widget, PaintTarget target, const QImage& image, const QRegion& region);

// The copy itself, for a store image and the widget's place in it; false, touching nothing,
// when the store cannot take the rows as they are.
bool CopyRows(QImage& store, QPoint widgetAt, const QImage& image, const QRegion& region);

}  // namespace platform
