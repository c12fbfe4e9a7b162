#include "platform/screen_copy.h"

#include <QBackingStore>
#include <QPainter>
#include <QWidget>
#include <cstring>

namespace platform {

bool CopyRows(QImage& store, QPoint widgetAt, const QImage& image, QPoint origin, const QRegion& region) {
  // RGB32 pixels are premultiplied ARGB with an opaque alpha: the bytes serve either format.
  const bool sameBytes = store.format() == image.format() ||
                         (image.format() == QImage::Format_RGB32 && store.format() == QImage::Format_ARGB32_Premultiplied);
  if (!sameBytes || store.devicePixelRatio() != 1 || image.devicePixelRatio() != 1 || !store.isDetached()) {
    return false;
  }
  const QRect shown = image.rect().translated(origin);  // the image in widget coordinates
  for (const QRect& part : region) {
    // In the widget and in the image, then in the store.
    const QRect from = part & shown;
    const QRect to = from.translated(widgetAt) & store.rect();
    if (to.isEmpty()) {
      continue;
    }
    const QPoint in = to.topLeft() - widgetAt - origin;  // the first pixel's place in the image
    const auto bytes = static_cast<std::size_t>(to.width()) * 4;
    for (int y = 0; y < to.height(); ++y) {
      std::memcpy(store.scanLine(to.top() + y) + static_cast<std::ptrdiff_t>(to.left()) * 4,
                  image.constScanLine(in.y() + y) + static_cast<std::ptrdiff_t>(in.x()) * 4, bytes);
    }
  }
  return true;
}

void CopyToScreen(QWidget& widget, PaintTarget target, const QImage& image, QPoint origin, const QRegion& region) {
  QBackingStore* backingStore = widget.backingStore();
  auto* store = backingStore != nullptr ? dynamic_cast<QImage*>(backingStore->paintDevice()) : nullptr;
  // The paint goes to the store unless something redirects it elsewhere (QWidget::grab and
  // render paint into a pixmap of their own). A painter on the widget costs more than the
  // copy, so none is made for it.
  if (store != nullptr && target.device == store && CopyRows(*store, -target.offset, image, origin, region)) {
    return;
  }
  QPainter painter(&widget);
  for (const QRect& part : region) {
    painter.drawImage(part, image, part.translated(-origin));
  }
}

}  // namespace platform
