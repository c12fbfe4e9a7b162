// The named cases of the number grammar; text_fuzz_test.cpp covers the bulk of random texts.
#include "platform/number_reading.h"

#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <tuple>

namespace platform {
namespace {

std::string Text(std::int32_t value) { return std::to_string(value); }
std::string Text(double value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The value as text, or the message.
template <class Read>
std::string Outcome(Read read) {
  try {
    return Text(read());
  } catch (const std::exception& e) {
    return e.what();
  }
}

TEST(ReadReal, GrammarWithTheInjectedSeparatorOnly) {
  const std::tuple<const char*, char16_t, const char*> rows[] = {
      {"  8  ", u',', "8"},
      {"8 mm", u',', "'8 mm' is not a valid floating point value"},
      {"-2,5e-3", u',', "-0.0025"},
      {"+1E+3", u',', "1000"},
      {",5", u',', "0.5"},  // a digit on one side of the separator is enough
      {"0.003", u'.', "0.003"},
      {"0.003", u',', "'0.003' is not a valid floating point value"},
      {"0,003", u'.', "'0,003' is not a valid floating point value"},
      {"", u',', "'' is not a valid floating point value"},
      {"1e400", u'.', "Floating point overflow"},  // fits the extended format, not a double
      {"-1,7976931348623157e308", u',', "-1.7976931348623157e+308"},  // the largest double is no overflow
  };
  for (const auto& [text, separator, result] : rows) {
    EXPECT_EQ(Outcome([&] { return ReadReal(QString::fromLatin1(text), QChar(separator)); }), result) << text;
  }
  EXPECT_EQ(ReadReal(WithSeparator("0.003", u','), u','), 0.003) << "a default text reads back";
}

TEST(ReadInteger, DecimalOrHexadecimalWithin32Bits) {
  const std::pair<const char*, const char*> rows[] = {
      {"  +7", "7"},
      {"$1F", "31"},
      {"-0X10", "-16"},
      {"2147483647", "2147483647"},
      {"-2147483648", "-2147483648"},
      {"-$80000000", "-2147483648"},
      {"2147483648", "'2147483648' is not a valid integer value"},
      {"$80000000", "'$80000000' is not a valid integer value"},
      {"50 ", "'50 ' is not a valid integer value"},  // blanks only before it
  };
  for (const auto& [text, result] : rows) {
    EXPECT_EQ(Outcome([&] { return ReadInteger(QString::fromLatin1(text)); }), result) << text;
    EXPECT_EQ(TryReadInteger(QString::fromLatin1(text)).has_value(), result[0] != '\'') << text;
  }
}

}  // namespace
}  // namespace platform
