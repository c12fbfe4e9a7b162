// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/fonts.h"

#include <QStringList>

namespace platform {

void InstallFontSubstitutes() {
  // Liberation Sans has Arial's metrics, the closest installed match to the layout's
  // widths; DejaVu Sans is the fallback that is always there.
  const QStringList substitutes = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), substitutes);
  QFont::insertSubstitutions(QStringLiteral("Tahoma"), substitutes);
  QFont::insertSubstitutions(QStringLiteral("Arial"), substitutes);
}

QFont LayoutFont(const QString& family, int pixelHeight, bool bold) {
  QFont font(family);
  font.setPixelSize(pixelHeight);
  font.setBold(bold);
  return font;
}

QFont DefaultFont() { return LayoutFont(QStringLiteral("MS Sans Serif"), 11); }

}  // namespace platform
