// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Colours as the drawing code writes them: 0x00BBGGRR (red in the low byte), the window
// system's colour numbers as 0xFF0000nn, and the two marker values that are not colours.

#include <QColor>
#include <cstdint>

namespace platform {

using TColor = std::uint32_t;

constexpr TColor RGB(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr TColor Grey(int v) { return RGB(v, v, v); }

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;

// The window system's colour numbers used by this program.
inline constexpr TColor clSystemColor = 0xFF000000;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clMenu = clSystemColor | 4;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;

// Not colours: take the owner's colour; a point kept but not drawn.
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clNone = 0x1FFFFFFF;

// A system colour number resolved to the classic desktop scheme this program is drawn
// in; a plain colour unchanged. clDefault and clNone have no RGB and give black.
TColor ColorToRGB(TColor color);

QColor ToQColor(TColor color);

}  // namespace platform
