// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// A group panel: a single-line border with a raised bevel inside it, in the button face.
// Children go on Client(), whose origin lies inside the border, so that their positions
// are those of the layout.

#include <QWidget>

namespace platform {

class TPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TPanel(QWidget* parent = nullptr);

  QWidget* Client() const { return client_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* client_;
};

}  // namespace platform
