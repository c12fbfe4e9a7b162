// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The layout's fonts by family and pixel height. "MS Sans Serif" and "Tahoma" are not on a
// Debian machine; they are substituted by installed families of close metrics.

#include <QFont>
#include <QString>

namespace platform {

// Once, before the first font is made (the program's start and each test main).
void InstallFontSubstitutes();

// The family at a character height of pixelHeight pixels (11 for 8 points, 13 for 10).
QFont LayoutFont(const QString& family, int pixelHeight, bool bold = false);

// "MS Sans Serif", 11 px: the window's own font and a fresh drawing surface's.
QFont DefaultFont();

}  // namespace platform
