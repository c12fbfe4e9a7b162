// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/screen_copy.h"

#include <QBackingStore>
#include <QPainter>
#include <QWidget>
#include <cstring>

namespace platform {

bool CopyRows(QImage& store, QPoint widgetAt, const QImage& image, const QRegion& region) {
  // RGB32 pixels are premultiplied ARGB with an opaque alpha: the bytes serve either format.
  const bool sameBytes = store.format() == image.format() ||
                         (image.format() == QImage::Format_RGB32 && store.format() == QImage::Format_ARGB32_Premultiplied);
  if (!sameBytes || store.devicePixelRatio() != 1 || image.devicePixelRatio() != 1 || !store.isDetached()) {
    return false;
  }
  uchar* const rows = store.bits();
  for (const QRect& part : region) {
    // In the image, then in the store.
    const QRect to = (part & image.rect()).translated(widgetAt) & store.rect();
    if (to.isEmpty()) {
      continue;
    }
    const QPoint from = to.topLeft() - widgetAt;
    const auto bytes = static_cast<std::size_t>(to.width()) * 4;
    for (int y = 0; y < to.height(); ++y) {
      std::memcpy(rows + (to.top() + y) * store.bytesPerLine() + static_cast<qsizetype>(to.left()) * 4,
                  image.constScanLine(from.y() + y) + static_cast<qsizetype>(from.x()) * 4, bytes);
    }
  }
  return true;
}

void CopyToScreen(QWidget& widget, PaintTarget target, const QImage& image, const QRegion& region) {
  QBackingStore* backingStore = widget.backingStore();
  auto* store = backingStore != nullptr ? dynamic_cast<QImage*>(backingStore->paintDevice()) : nullptr;
  // The paint goes to the store unless something redirects it elsewhere (QWidget::grab and
  // render paint into a pixmap of their own). A painter on the widget costs more than the
  // copy, so none is made for it.
  if (store != nullptr && target.device == store && CopyRows(*store, -target.offset, image, region)) {
    return;
  }
  QPainter painter(&widget);
  for (const QRect& part : region) {
    painter.drawImage(part, image, part);
  }
}

}  // namespace platform
