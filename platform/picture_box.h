#pragma once
// A picture control: shows its own bitmap, which the program draws into at named moments
// and never from a paint event. Call update() after drawing.

#include <QWidget>

#include "platform/raster_canvas.h"

namespace platform {

class PictureBox : public QWidget {
  Q_OBJECT

 public:
  PictureBox(int width, int height, QWidget* parent = nullptr);

  RasterCanvas& Canvas() { return canvas_; }
  const RasterCanvas& Canvas() const { return canvas_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  RasterCanvas canvas_;
};

}  // namespace platform
