#pragma once
// The integer a typed text stands for, read without the code under test: an optional sign,
// then decimal digits only, within 32 signed bits. Typing into a spin edit puts nothing
// else there but separators, which make it no integer.

#include <QString>
#include <cstdint>
#include <limits>
#include <optional>

inline std::optional<std::int64_t> TypedInteger(const QString& text) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  if (i == text.size()) {
    return std::nullopt;
  }
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') {
      return std::nullopt;
    }
    magnitude = magnitude * 10 + (text[i].unicode() - u'0');
    if (magnitude > 2147483648LL) {
      return std::nullopt;
    }
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return value;
}
