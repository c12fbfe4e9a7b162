// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/colors.h"

namespace platform {

TColor ColorToRGB(TColor color) {
  if ((color & 0xFF000000) == clSystemColor) {
    switch (color & 0xFF) {
      case 4:  // menu
      case 15:  // button face
        return RGB(212, 208, 200);
      case 8:  // window text
        return clBlack;
      case 16:  // button shadow
        return RGB(128, 128, 128);
      case 20:  // button highlight
        return clWhite;
      default:
        return RGB(212, 208, 200);
    }
  }
  if (color == clDefault || color == clNone) {
    return clBlack;
  }
  return color & 0xFFFFFF;
}

QColor ToQColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>((rgb >> 16) & 0xFF));
}

}  // namespace platform
