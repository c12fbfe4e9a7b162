// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// A picture control: shows its own bitmap, which the program draws into at named moments
// and never from a paint event. Call update() after drawing.
//
// Mouse: presses, moves and releases are passed on in the control's pixels. A press of the
// left button captures the pointer until its release, so a drag goes on outside the
// control; the other buttons capture nothing, and outside the control without a capture
// nothing arrives. Moves arrive with or without a button held.

#include <QWidget>

#include "platform/raster_canvas.h"

namespace platform {

class PictureBox : public QWidget {
  Q_OBJECT

 public:
  PictureBox(int width, int height, QWidget* parent = nullptr);

  RasterCanvas& Canvas() { return canvas_; }
  const RasterCanvas& Canvas() const { return canvas_; }

 signals:
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
  void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  RasterCanvas canvas_;
  bool captured_ = false;  // the left button went down here and is not yet released
};

}  // namespace platform
