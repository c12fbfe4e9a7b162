// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The student's gesture that starts a stability run: a press on the strip's centre, a move
// `offset` millimetres aside and the release there.
#include <QTest>

#include "app/Unit1.h"

inline void ReleaseMarkerAt(TForm1& form, int offset) {
  QTest::mousePress(form.Image2, Qt::LeftButton, {}, {108, 20});
  QTest::mouseMove(form.Image2, {108 + offset, 20});
  QTest::mouseRelease(form.Image2, Qt::LeftButton, {}, {108 + offset, 20});
}
