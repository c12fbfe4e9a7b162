// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Numbers typed by the user, read strictly:
//   real:    [blanks] [+|-] digits with at most one decimal separator [(E|e) [+|-] digits] [blanks]
//            with at least one digit or the separator; the separator is the regional one
//            and nothing else (no other separator, no thousands separator);
//   integer: [blanks] [+|-] [$ | x | X | 0x | 0X] digits, nothing after them; $, x and 0x
//            make the digits hexadecimal; the value must fit in 32 signed bits.
// A real value is parsed to extended precision and then stored as a double.

#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace platform {

// A text that does not read as the number asked for.
class ConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A value read correctly that a double cannot hold ("Floating point overflow").
class OverflowError : public std::runtime_error {
 public:
  OverflowError();
};

// The regional decimal separator (QLocale::system()).
QChar RegionalDecimalSeparator();

// Throws ConvertError "'<text>' is not a valid floating point value", or OverflowError.
double ReadReal(const QString& text, QChar separator);

// The same reading kept in extended precision, for a value used in a formula before it is
// stored; only ConvertError.
long double ReadExtended(const QString& text, QChar separator);

// Throws ConvertError "'<text>' is not a valid integer value".
std::int32_t ReadInteger(const QString& text);
std::optional<std::int32_t> TryReadInteger(const QString& text);

// A default text such as "0,003" written with the given separator.
QString WithSeparator(const QString& pointText, QChar separator);

}  // namespace platform
