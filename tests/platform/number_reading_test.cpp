#include "platform/number_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace platform {
namespace {

struct RealCase {
  const char* text;
  char16_t separator;
  std::optional<double> value;  // nullopt: not a valid floating point value
};

TEST(ReadReal, GrammarWithTheRegionalSeparatorOnly) {
  const RealCase cases[] = {
      {"8", u',', 8},
      {"  8  ", u',', 8},
      {"0,003", u',', 0.003},
      {"0.003", u'.', 0.003},
      {"0,003", u'.', std::nullopt},  // the comma default under a point locale
      {"0.003", u',', std::nullopt},
      {"-2,5e-3", u',', -0.0025},
      {"+1E3", u',', 1000},
      {"1e+2", u',', 100},
      {",5", u',', 0.5},
      {"8,", u',', 8},
      {",", u',', 0},
      {"8 mm", u',', std::nullopt},
      {"1,000,5", u',', std::nullopt},
      {"1e", u',', std::nullopt},
      {"e5", u',', std::nullopt},
      {"", u',', std::nullopt},
      {"   ", u',', std::nullopt},
      {"--1", u',', std::nullopt},
      {"inf", u'.', std::nullopt},
      {"0x10", u'.', std::nullopt},
      {"1e5000", u'.', std::nullopt},  // beyond even extended precision
      {"1e-400", u'.', 0},             // underflow is silent
      {"0,0001e-4950", u',', 0},
      {"123456e-4960", u',', 0},
      {"0,1e4935", u',', std::nullopt},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromLatin1(c.text);
    const QChar separator(c.separator);
    if (c.value) {
      EXPECT_EQ(ReadReal(text, separator), *c.value) << c.text;
    } else {
      try {
        ReadReal(text, separator);
        ADD_FAILURE() << c.text << " read";
      } catch (const ConvertError& e) {
        EXPECT_EQ(std::string(e.what()), "'" + std::string(c.text) + "' is not a valid floating point value");
      }
    }
  }
}

TEST(ReadReal, ExtendedParseThenStoredAsDouble) {
  try {
    ReadReal(QStringLiteral("1e400"), u'.');
    ADD_FAILURE() << "1e400 read";
  } catch (const OverflowError& e) {
    EXPECT_STREQ(e.what(), "Floating point overflow");
  }
  EXPECT_EQ(ReadReal(QStringLiteral("-1,7976931348623157e308"), u','), -std::numeric_limits<double>::max());
  EXPECT_GT(ReadReal(QStringLiteral("4e-320"), u'.'), 0.0) << "denormal kept";
}

TEST(ReadInteger, DecimalAndHexadecimalFormsWithinThirtyTwoBits) {
  const struct {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"0", 0},
      {"  50", 50},
      {"+7", 7},
      {"-12", -12},
      {"$1F", 31},
      {"x1f", 31},
      {"0X10", 16},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"$80000000", std::nullopt},
      {"50 ", std::nullopt},
      {"5,0", std::nullopt},
      {"", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"1G", std::nullopt},
      {"$1G", std::nullopt},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromLatin1(c.text);
    EXPECT_EQ(TryReadInteger(text), c.value) << c.text;
    if (!c.value) {
      try {
        ReadInteger(text);
        ADD_FAILURE() << c.text << " read";
      } catch (const ConvertError& e) {
        EXPECT_EQ(std::string(e.what()), "'" + std::string(c.text) + "' is not a valid integer value");
      }
    }
  }
}

TEST(DefaultTexts, WrittenWithTheSeparatorTheyAreReadWith) {
  for (const QChar separator : {QChar(u','), QChar(u'.')}) {
    const QString text = WithSeparator(QStringLiteral("0.003"), separator);
    EXPECT_EQ(ReadReal(text, separator), 0.003) << text.toStdString();
  }
  EXPECT_EQ(WithSeparator(QStringLiteral("0.75"), u','), QStringLiteral("0,75"));
}

}  // namespace
}  // namespace platform
