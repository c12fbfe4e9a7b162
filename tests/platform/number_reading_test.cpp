// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The named cases of the number grammar, then random texts whose expectations come from how each
// was built or from the grammar written as a pattern, never from the code under test.
#include "platform/number_reading.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <bit>
#include <charconv>
#include <cmath>
#include <string>
#include <tuple>

#include "tests/support/random.h"

namespace platform {
namespace {

std::string Message(const QString& text, const char* kind) {
  return ("'" + text + "' is not a valid " + kind + " value").toStdString();
}

// The value as its shortest text (the sign of a zero is no rule here), or the message.
std::string Real(const QString& text, QChar separator) {
  try {
    const double value = ReadReal(text, separator);
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value).ptr);
  } catch (const std::exception& e) {
    return e.what();
  }
}

// ReadInteger's value or message, where TryReadInteger agrees.
std::string Integer(const QString& text) {
  try {
    const std::int32_t value = ReadInteger(text);
    return TryReadInteger(text) == value ? std::to_string(value) : "TryReadInteger disagrees";
  } catch (const ConvertError& e) {
    return TryReadInteger(text) ? "TryReadInteger disagrees" : e.what();
  }
}

TEST(ReadReal, GrammarWithTheInjectedSeparatorOnly) {
  const std::tuple<const char*, char16_t, const char*> rows[] = {
      // Texts that read back, signs, blanks and exponents are in the random texts below.
      {"8 mm", u',', "'8 mm' is not a valid floating point value"},
      {",5", u',', "0.5"},  // a digit on one side of the separator is enough
      {"0.003", u',', "'0.003' is not a valid floating point value"},
      {"0,003", u'.', "'0,003' is not a valid floating point value"},
      {"", u',', "'' is not a valid floating point value"},
      {"1e400", u'.', "Floating point overflow"},  // fits the extended format, not a double
      {"-1,7976931348623157e308", u',', "-1.7976931348623157e+308"},  // the largest double is no overflow
  };
  for (const auto& [text, separator, result] : rows) EXPECT_EQ(Real(text, separator), result) << text;
  EXPECT_EQ(ReadReal(WithSeparator("0.003", u','), u','), 0.003) << "a default text reads back";
}

TEST(ReadInteger, DecimalOrHexadecimalWithin32Bits) {
  const std::pair<const char*, const char*> rows[] = {
      // The bounds; signs, blanks and the hexadecimal prefixes are in the random texts below.
      {"2147483647", "2147483647"}, {"-2147483648", "-2147483648"}, {"-$80000000", "-2147483648"},
      {"2147483648", "'2147483648' is not a valid integer value"}, {"$80000000", "'$80000000' is not a valid integer value"},
  };
  for (const auto& [text, result] : rows) EXPECT_EQ(Integer(text), result) << text;
}

// One character inserted, replaced or removed.
void Mutate(Random& rng, QString& text, const QString& alphabet) {
  const int at = rng.Below(static_cast<int>(text.size()) + 1);
  const int how = at == text.size() ? 0 : rng.Below(3);
  text.replace(at, how == 0 ? 0 : 1, how == 2 ? QString() : QString(alphabet[rng.Below(alphabet.size())]));
}

QString Lead(Random& rng, bool negative) {
  return QString(rng.Below(3), u' ') + (negative ? "-" : rng.OneIn(4) ? "+" : "");
}

TEST(ReadReal, RandomTextsReadBackExactlyOrFollowTheGrammar) {
  Random rng(1);
  // [sign] digits with at most one separator (S), at least one of either [e [sign] digits]
  const QRegularExpression grammar("^ *[+-]?([0-9]+S?[0-9]*|S[0-9]*)([eE][+-]?([0-9]+))? *$");
  for (int i = 0; i < 20000; ++i) {
    const QChar separator = rng.OneIn(2) ? u',' : u'.';
    const double value = std::bit_cast<double>(rng.Bits() & ~(std::uint64_t{1} << 52));  // never inf or NaN
    // 21 or more significant digits lie within half a unit of the extended format from the double,
    // so reading to extended and storing as double must give the double back exactly.
    char buffer[64];
    const char* end = std::to_chars(buffer, buffer + 64, std::fabs(value), std::chars_format::general, 21 + i % 5).ptr;
    const QString written = QString::fromLatin1(buffer, end - buffer).replace(u'.', separator);
    QString text = Lead(rng, std::signbit(value)) + (i % 2 ? written : written.toUpper()) + QString(i % 3, u' ');
    ASSERT_EQ(ReadReal(text, separator), value) << text.toStdString();

    Mutate(rng, text, QStringLiteral("07+-eE x$a,.\u0663\uFF15"));
    const auto match = grammar.match(QString(text).replace(separator, u'S'));
    if (match.capturedLength(3) <= 3) {  // a longer exponent may lie beyond even the extended range
      ASSERT_EQ(Real(text, separator) == Message(text, "floating point"), !match.hasMatch()) << text.toStdString();
    }
    // m·10^e, 1 <= m < 10: past the double range but under the extended one (1.19e4932) it overflows
    // when stored, past that it is no number, far under the smallest double it reads as 0.
    const int low[] = {309, 4933, -99999}, high[] = {4931, 99999, -330};
    text = QString::number(rng.Between(100000, 999999)).insert(1, separator).prepend(i % 2 ? "-" : "");
    text += "e" + QString::number(rng.Between(low[i % 3], high[i % 3]));
    const std::string expected[] = {"Floating point overflow", Message(text, "floating point"), "0"};
    ASSERT_EQ(Real(text, separator), expected[i % 3]) << text.toStdString();
  }
}

TEST(ReadInteger, RandomTextsWithin32BitsOrNamed) {
  Random rng(3);
  const QRegularExpression grammar("^ *([+-]?)(?:([0-9]+)|(?:[$xX]|0[xX])([0-9a-fA-F]+))$");
  const std::vector<QString> prefixes = {"$", "x", "X", "0x", "0X"};
  const auto expected = [](const QString& text, bool negative, std::uint64_t magnitude) {
    const auto value = static_cast<std::int64_t>(magnitude);
    return magnitude > (negative ? 2147483648u : 2147483647u) ? Message(text, "integer")
                                                            : std::to_string(negative ? -value : value);
  };
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t magnitude = rng.Bits() >> rng.Between(1, 63);  // every bit length
    const QString zeros(i % 5 == 0 ? i % 3 + 1 : 0, u'0'), hex = QString::number(magnitude, 16);
    QString text = Lead(rng, i % 2) + (i % 4 ? rng.Pick(prefixes) : "") + zeros +
                   (i % 4 == 0 ? QString::number(magnitude) : i % 4 == 1 ? hex : hex.toUpper());
    ASSERT_EQ(Integer(text), expected(text, i % 2, magnitude)) << text.toStdString();

    Mutate(rng, text, QStringLiteral("09aFgx$+- ,.\u0663"));
    const auto match = grammar.match(text);
    const bool isHex = match.capturedLength(3) > 0;
    bool ok = match.hasMatch();
    const std::uint64_t read = ok ? match.captured(isHex ? 3 : 2).toULongLong(&ok, isHex ? 16 : 10) : 0;
    ASSERT_EQ(Integer(text), ok ? expected(text, match.captured(1) == "-", read) : Message(text, "integer"))
        << text.toStdString();
  }
}

}  // namespace
}  // namespace platform
