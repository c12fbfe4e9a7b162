// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/panel.h"

#include <QPainter>

#include "platform/colors.h"

namespace platform {

namespace {
constexpr int BorderWidth = 1;
}

TPanel::TPanel(QWidget* parent) : QWidget(parent), client_(new QWidget(this)) {
  setAutoFillBackground(false);
}

void TPanel::resizeEvent(QResizeEvent* /*event*/) {
  client_->setGeometry(BorderWidth, BorderWidth, width() - 2 * BorderWidth, height() - 2 * BorderWidth);
}

void TPanel::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  const int w = width();
  const int h = height();
  p.fillRect(rect(), ToQColor(clBtnFace));
  // The border, then the bevel just inside it: light on the top and left, shadow on the
  // bottom and right.
  p.setPen(ToQColor(clBlack));
  p.drawRect(0, 0, w - 1, h - 1);
  p.setPen(ToQColor(clBtnHighlight));
  p.drawLine(1, 1, w - 3, 1);
  p.drawLine(1, 1, 1, h - 3);
  p.setPen(ToQColor(clBtnShadow));
  p.drawLine(1, h - 2, w - 2, h - 2);
  p.drawLine(w - 2, 1, w - 2, h - 2);
}

}  // namespace platform
