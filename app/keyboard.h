// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The marker strip as a keyboard user meets it: it takes the focus in stability research and
// shows a dotted frame while it has it. The frame is painted over the strip, never into its
// bitmap, which stays the marker's alone.

#include "platform/picture_box.h"

class MarkerStripBox : public platform::PictureBox {
  Q_OBJECT

 public:
  using platform::PictureBox::PictureBox;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

namespace app {

// Escape and Ctrl+W close a tool window, as they close a dialog: the keys a student tries
// before reaching for the mouse.
void CloseWithKeys(QWidget* window);

}  // namespace app
