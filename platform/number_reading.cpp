// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/number_reading.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace platform {

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int HexDigit(QChar c) {
  if (IsDigit(c)) {
    return c.unicode() - u'0';
  }
  if (c >= u'a' && c <= u'f') {
    return c.unicode() - u'a' + 10;
  }
  if (c >= u'A' && c <= u'F') {
    return c.unicode() - u'A' + 10;
  }
  return -1;
}

[[noreturn]] void NotAReal(const QString& text) {
  throw ConvertError(("'" + text + "' is not a valid floating point value").toStdString());
}

[[noreturn]] void NotAnInteger(const QString& text) {
  throw ConvertError(("'" + text + "' is not a valid integer value").toStdString());
}

qsizetype SkipBlanks(const QString& text, qsizetype i) {
  while (i < text.size() && text[i] == u' ') {
    ++i;
  }
  return i;
}

// The power of ten of the leading digit of a number written [-]digits[.digits][e[-]digits]
// with at least one digit that is not 0: 1e5000 gives 5000, 0.001e-4950 gives -4953.
long long DecimalExponent(const std::string& normal) {
  const std::size_t e = std::min(normal.find('e'), normal.size());
  const std::string mantissa = normal.substr(0, e);
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of("123456789");
  long long exponent = first < point ? static_cast<long long>(point - first - 1)
                                     : -static_cast<long long>(first - point);
  long long written = 0;
  bool negative = false;
  for (std::size_t i = e + 1; i < normal.size(); ++i) {
    if (normal[i] == '-') {
      negative = true;
    } else if (normal[i] != '+') {
      written = std::min(written * 10 + (normal[i] - '0'), 1000000000LL);  // saturates
    }
  }
  return exponent + (negative ? -written : written);
}

}  // namespace

OverflowError::OverflowError() : std::runtime_error("Floating point overflow") {}

QChar RegionalDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  return point.isEmpty() ? QChar(u'.') : point.front();
}

long double ReadExtended(const QString& text, QChar separator) {
  // The text is checked against the grammar here and rewritten in the one form the
  // locale-independent parser takes: [-]digits[.digits][e[-]digits].
  std::string normal;
  qsizetype i = SkipBlanks(text, 0);
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    if (text[i] == u'-') {
      normal += '-';
    }
    ++i;
  }
  bool digits = false;
  bool separatorSeen = false;
  std::string mantissa;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      mantissa += static_cast<char>(text[i].unicode());
      digits = true;
    } else if (text[i] == separator && !separatorSeen) {
      mantissa += '.';
      separatorSeen = true;
    } else {
      break;
    }
  }
  if (!digits && !separatorSeen) {
    NotAReal(text);
  }
  // A lone separator reads as 0, as does "-," .
  normal += digits ? mantissa : std::string("0");
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    normal += 'e';
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
      normal += static_cast<char>(text[i].unicode());
      ++i;
    }
    const qsizetype exponentStart = i;
    while (i < text.size() && IsDigit(text[i])) {
      normal += static_cast<char>(text[i].unicode());
      ++i;
    }
    if (i == exponentStart) {
      NotAReal(text);
    }
  }
  i = SkipBlanks(text, i);
  if (i != text.size()) {
    NotAReal(text);
  }

  long double value = 0;
  const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (end != normal.data() + normal.size()) {
    NotAReal(text);
  }
  if (ec == std::errc::result_out_of_range) {
    // Beyond even the extended range: too small reads as zero, too large is no number.
    if (DecimalExponent(normal) < 0) {
      return normal.front() == '-' ? -0.0L : 0.0L;
    }
    NotAReal(text);
  }
  return value;
}

double ReadReal(const QString& text, QChar separator) {
  const double stored = static_cast<double>(ReadExtended(text, separator));
  if (std::isinf(stored)) {
    throw OverflowError();
  }
  return stored;
}

std::optional<std::int32_t> TryReadInteger(const QString& text) {
  qsizetype i = SkipBlanks(text, 0);
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) {
    return std::nullopt;
  }
  // Accumulated as a magnitude in 64 bits: -2147483648 is in range, 2147483648 is not.
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = base == 16 ? HexDigit(text[i]) : (IsDigit(text[i]) ? text[i].unicode() - u'0' : -1);
    if (digit < 0) {
      return std::nullopt;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > limit) {
      return std::nullopt;
    }
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::int32_t ReadInteger(const QString& text) {
  const auto value = TryReadInteger(text);
  if (!value) {
    NotAnInteger(text);
  }
  return *value;
}

QString WithSeparator(const QString& pointText, QChar separator) {
  QString text = pointText;
  text.replace(u'.', separator);
  return text;
}

}  // namespace platform
