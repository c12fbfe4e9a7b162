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

class QPainter;
class QWidget;

namespace platform {

// `image`, whose pixel (0, 0) lies at `origin` in the widget, copied over `region` (widget
// coordinates) during the widget's paint event; `painter` is the event's painter.
void CopyToScreen(QWidget& widget, QPainter& painter, const QImage& image, QPoint origin, const QRegion& region);

// The copy itself, for a store image and the widget's place in it; false, touching nothing,
// when the store cannot take the rows as they are.
bool CopyRows(QImage& store, QPoint widgetAt, const QImage& image, QPoint origin, const QRegion& region);

}  // namespace platform
