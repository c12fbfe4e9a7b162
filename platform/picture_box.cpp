// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/picture_box.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "platform/screen_copy.h"

namespace platform {

PictureBox::PictureBox(int width, int height, QWidget* parent) : QWidget(parent), canvas_(width, height) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  resize(width, height);
}

void PictureBox::paintEvent(QPaintEvent* event) {
  PaintTarget target;
  target.device = redirected(&target.offset);
  CopyToScreen(*this, target, canvas_.Image(), event->region());
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    captured_ = true;
  }
  emit MouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  // Qt grabs the mouse for any button held; only the left button's press captures here.
  const QPoint p = event->position().toPoint();
  if (captured_ || rect().contains(p)) {
    emit MouseMove(event->modifiers(), p.x(), p.y());
  }
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  const bool delivered = captured_ || rect().contains(p);
  if (event->button() == Qt::LeftButton) {
    captured_ = false;
  }
  if (delivered) {
    emit MouseUp(event->button(), event->modifiers(), p.x(), p.y());
  }
}

}  // namespace platform
