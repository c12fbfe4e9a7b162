// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The integer a typed text stands for, read without the code under test: an optional sign,
// then decimal digits only, within 32 signed bits. Typing into a spin edit puts nothing
// else there but separators, which make it no integer.

#include <QRegularExpression>
#include <QString>
#include <cstdint>
#include <optional>

inline std::optional<std::int64_t> TypedInteger(const QString& text) {
  static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
  bool ok = false;
  const qlonglong value = integer.match(text).hasMatch() ? text.toLongLong(&ok) : 0;
  if (!ok || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return value;
}
