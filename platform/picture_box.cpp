#include "platform/picture_box.h"

#include <QPainter>
#include <QPaintEvent>

namespace platform {

PictureBox::PictureBox(int width, int height, QWidget* parent) : QWidget(parent), canvas_(width, height) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(width, height);
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.drawImage(event->rect(), canvas_.Image(), event->rect());
}

}  // namespace platform
