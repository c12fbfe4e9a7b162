// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// A picture against its reference PNG in tests/references, made once from a picture checked
// by eye. DRIVELAB_WRITE_REFERENCES=1 writes the references anew instead of comparing; a
// mismatch leaves the picture as <name>.actual.png in the test's working folder.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QString>
#include <string>
#include <tuple>

// How many pixels of two pictures of one size differ, and the first: "" when none does.
inline std::string Differences(const QImage& a, const QImage& b) {
  int differing = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y) && differing++ == 0) std::tie(firstX, firstY) = std::pair(x, y);
    }
  }
  if (differing == 0) return "";
  return QStringLiteral("%1 pixels differ, the first at (%2, %3): %4 against %5")
      .arg(differing).arg(firstX).arg(firstY).arg(a.pixel(firstX, firstY), 0, 16).arg(b.pixel(firstX, firstY), 0, 16)
      .toStdString();
}

inline ::testing::AssertionResult MatchesReference(const QImage& picture, const char* name) {
  const QString path = QStringLiteral(DRIVELAB_REFERENCE_DIR "/%1.png").arg(QLatin1String(name));
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  if (qEnvironmentVariableIsSet("DRIVELAB_WRITE_REFERENCES")) {
    return image.save(path) ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "cannot write " << name;
  }
  const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
  if (reference.size() != image.size()) {
    return ::testing::AssertionFailure() << name << ": " << image.width() << " x " << image.height()
                                         << " against the reference's " << reference.width() << " x "
                                         << reference.height();
  }
  const std::string differences = Differences(image, reference);
  if (differences.empty()) return ::testing::AssertionSuccess();
  image.save(QStringLiteral("%1.actual.png").arg(QLatin1String(name)));
  return ::testing::AssertionFailure() << name << ": " << differences;
}

// Pictures one below the other, on white, for one reference.
inline QImage Stacked(std::initializer_list<QImage> pictures) {
  int width = 0, height = 0;
  for (const QImage& p : pictures) width = std::max(width, p.width()), height += p.height();
  QImage all(width, height, QImage::Format_RGB32);
  all.fill(Qt::white);
  QPainter painter(&all);
  int y = 0;
  for (const QImage& p : pictures) painter.drawImage(0, std::exchange(y, y + p.height()), p);
  return all;
}
