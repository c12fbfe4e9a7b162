// Randomized texts for the number readers and random typing into the spin edit. Every case
// is built from its parts, so the expected value or message is known without asking the
// code under test. The seed is fixed: a failure names its case and replays exactly.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "platform/number_reading.h"
#include "platform/spin_edit.h"
#include "tests/support/random.h"
#include "tests/support/typed_integer.h"

namespace {

// Each test draws from kSeed plus its own offset, and names that seed when it fails.
constexpr std::uint64_t kSeed = 20240921;


QChar OtherSeparator(QChar separator) { return separator == u',' ? QChar(u'.') : QChar(u','); }

QString Blanks(Random& rng) { return QString(rng.Below(4), u' '); }

// ----------------------------------------------------------------------------- reals

// A decimal number: the integer written by digits, times ten to the scale.
struct Decimal {
  bool negative = false;
  std::string digits;
  int scale = 0;
};

// The same value written one of the many ways the grammar allows: the separator anywhere
// in (or before, or after) the digits, zeros added on either side, the exponent adjusted
// and written with e or E, an optional sign and leading zeros, blanks around it all.
QString Render(Random& rng, const Decimal& d, QChar separator, bool withExponent = true) {
  const auto leadingZeros = static_cast<std::size_t>(rng.OneIn(4) ? rng.Between(1, 3) : 0);
  const int trailingZeros = rng.OneIn(4) ? rng.Between(1, 3) : 0;
  const std::string digits =
      std::string(leadingZeros, '0') + d.digits + std::string(static_cast<std::size_t>(trailingZeros), '0');
  // Each trailing zero multiplies the integer by ten; the scale pays it back.
  const int scale = d.scale - trailingZeros;
  const int len = static_cast<int>(digits.size());
  // Without an exponent the separator goes where the value puts it, zeros padding as needed.
  const int point = withExponent ? rng.Between(-3, len + 3) : len + scale;
  const int written = scale - point + len;  // digits[0:point] , digits[point:] e written

  QString mantissa;
  if (point <= 0) {
    if (!rng.OneIn(3)) {
      mantissa += u'0';
    }
    mantissa += separator;
    mantissa += QString(-point, u'0');
    mantissa += QString::fromStdString(digits);
  } else if (point >= len) {
    mantissa += QString::fromStdString(digits);
    mantissa += QString(point - len, u'0');
    if (rng.OneIn(3)) {
      mantissa += separator;
    }
  } else {
    mantissa += QString::fromStdString(digits.substr(0, static_cast<std::size_t>(point)));
    mantissa += separator;
    mantissa += QString::fromStdString(digits.substr(static_cast<std::size_t>(point)));
  }

  QString text = Blanks(rng);
  if (d.negative) {
    text += u'-';
  } else if (rng.OneIn(4)) {
    text += u'+';
  }
  text += mantissa;
  if (written != 0 || (withExponent && rng.OneIn(4))) {
    text += rng.OneIn(2) ? u'e' : u'E';
    if (written < 0) {
      text += u'-';
    } else if (rng.OneIn(3)) {
      text += u'+';
    }
    text += QString(rng.Below(3), u'0');
    text += QString::number(std::abs(written));
  }
  text += Blanks(rng);
  return text;
}

// The digits and scale of a double's scientific form as std::to_chars writes it.
Decimal FromScientific(double value, std::optional<int> precision) {
  char buffer[128];
  const auto result = precision ? std::to_chars(buffer, buffer + sizeof buffer, value,
                                                std::chars_format::scientific, *precision)
                                : std::to_chars(buffer, buffer + sizeof buffer, value,
                                                std::chars_format::scientific);
  const std::string text(buffer, result.ptr);
  Decimal d;
  std::size_t i = 0;
  if (text[i] == '-') {
    d.negative = true;
    ++i;
  }
  const std::size_t e = text.find('e');
  for (; i < e; ++i) {
    if (text[i] != '.') {
      d.digits += text[i];
    }
  }
  d.scale = std::stoi(text.substr(e + 1)) - static_cast<int>(d.digits.size() - 1);
  return d;
}

// Any finite double: random bits (so every binade, subnormals included) or an everyday one.
double RandomDouble(Random& rng) {
  for (;;) {
    double value;
    if (rng.OneIn(2)) {
      value = std::bit_cast<double>(rng.Bits());
    } else {
      const double unit = static_cast<double>(rng.Bits() >> 11) * 0x1p-53;
      value = std::ldexp(unit, rng.Between(-40, 40)) * (rng.OneIn(2) ? -1 : 1);
    }
    if (std::isfinite(value)) {
      return value;
    }
  }
}

std::string Num(double value) {
  char buffer[64];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string Show(const QString& text) { return ("'" + text + "'").toStdString(); }

std::string RealMessage(const QString& text) {
  return ("'" + text + "' is not a valid floating point value").toStdString();
}

std::string IntegerMessage(const QString& text) {
  return ("'" + text + "' is not a valid integer value").toStdString();
}

enum class Outcome { Value, Convert, Overflow, Other };

struct Read {
  Outcome outcome = Outcome::Other;
  double value = 0;
  std::string message;
};

Read TryReal(const QString& text, QChar separator) {
  Read r;
  try {
    r.value = platform::ReadReal(text, separator);
    r.outcome = Outcome::Value;
  } catch (const platform::ConvertError& e) {
    r.outcome = Outcome::Convert;
    r.message = e.what();
  } catch (const platform::OverflowError& e) {
    r.outcome = Outcome::Overflow;
    r.message = e.what();
  } catch (const std::exception& e) {
    r.message = e.what();
  }
  return r;
}

// Gives up on a family after a few failures: one fault would otherwise print thousands.
class FailureBudget {
 public:
  bool Spent() { return ++failures_ > 10; }

 private:
  int failures_ = 0;
};

std::string Context(const Random& rng, int i, const QString& text, QChar separator) {
  return QStringLiteral("seed %1 case %2 text '%3' separator '%4'")
      .arg(rng.Seed())
      .arg(i)
      .arg(text, QString(separator))
      .toStdString();
}

TEST(ReadRealFuzz, ExactValuesWrittenEveryWayReadExactly) {
  Random rng(kSeed);
  FailureBudget budget;
  for (int i = 0; i < 20000; ++i) {
    const QChar separator = rng.OneIn(2) ? QChar(u',') : QChar(u'.');
    // An integer part below 2^40 and a fraction k/2^j with j <= 10: exact in a double, and
    // k/2^j = k*5^j/10^j gives its j decimal digits.
    const std::uint64_t whole = rng.OneIn(3) ? rng.Bits() >> 24 : static_cast<std::uint64_t>(rng.Below(1000));
    const int j = rng.Between(0, 10);
    const std::uint64_t k = j == 0 ? 0 : rng.Bits() % (std::uint64_t{1} << j);
    std::uint64_t fifths = k;
    for (int n = 0; n < j; ++n) {
      fifths *= 5;
    }
    std::string fraction = std::to_string(fifths);
    fraction.insert(0, static_cast<std::size_t>(j) - std::min<std::size_t>(fraction.size(), static_cast<std::size_t>(j)), '0');
    Decimal d;
    d.negative = rng.OneIn(2);
    d.digits = std::to_string(whole) + (j == 0 ? std::string() : fraction);
    d.scale = -j;
    const double magnitude = static_cast<double>(whole) + static_cast<double>(k) / static_cast<double>(std::uint64_t{1} << j);
    const double expected = d.negative ? -magnitude : magnitude;

    const QString text = Render(rng, d, separator, !rng.OneIn(4));
    const Read r = TryReal(text, separator);
    if (r.outcome != Outcome::Value || r.value != expected) {
      ADD_FAILURE() << Context(rng, i, text, separator) << ": expected " << Num(expected) << ", got "
                    << (r.outcome == Outcome::Value ? Num(r.value) : r.message);
      if (budget.Spent()) {
        return;
      }
    }
  }
}

// With 21 or more significant digits a text lies closer to its double than half a unit of
// the extended format, so the parse to extended lands on the double itself and the store
// keeps it. Shortest texts lie anywhere in the double's rounding interval; rounded twice,
// once to extended and once to double, they may end one unit away.
TEST(ReadRealFuzz, RandomDoublesReadBackWithinTheRoundingTheirTextImplies) {
  Random rng(kSeed + 1);
  FailureBudget budget;
  for (int i = 0; i < 20000; ++i) {
    const QChar separator = rng.OneIn(2) ? QChar(u',') : QChar(u'.');
    const double value = RandomDouble(rng);
    const bool longForm = rng.OneIn(2);
    const Decimal d = FromScientific(value, longForm ? std::optional<int>(rng.Between(20, 25)) : std::nullopt);
    const QString text = Render(rng, d, separator);
    const Read r = TryReal(text, separator);
    const bool ok = r.outcome == Outcome::Value &&
                    (r.value == value ||
                     (!longForm && (r.value == std::nextafter(value, std::numeric_limits<double>::infinity()) ||
                                    r.value == std::nextafter(value, -std::numeric_limits<double>::infinity()))));
    if (!ok) {
      ADD_FAILURE() << Context(rng, i, text, separator) << ": expected " << Num(value) << ", got "
                    << (r.outcome == Outcome::Value ? Num(r.value) : r.message);
      if (budget.Spent()) {
        return;
      }
    }
  }
}

// Beyond the double range but inside the extended one: read, then refused when stored.
// Below the smallest double (by far): silently zero. Beyond even the extended range: no number.
TEST(ReadRealFuzz, ValuesOutsideTheDoubleRange) {
  Random rng(kSeed + 2);
  FailureBudget budget;
  for (int i = 0; i < 6000; ++i) {
    const QChar separator = rng.OneIn(2) ? QChar(u',') : QChar(u'.');
    Decimal d;
    d.negative = rng.OneIn(2);
    d.digits = std::to_string(rng.Between(1, 9));
    const int more = rng.Between(0, 19);
    for (int n = 0; n < more; ++n) {
      d.digits += static_cast<char>('0' + rng.Below(10));
    }
    // The power of ten of the leading digit.
    int leading = 0;
    Outcome expected = Outcome::Value;
    switch (rng.Below(4)) {
      case 0:  // 1e309 .. 1e4931: above DBL_MAX (1.8e308), below LDBL_MAX (1.19e4932)
        leading = rng.Between(309, 4930);
        expected = Outcome::Overflow;
        break;
      case 1:  // 2e308 .. 9.99e308: just above DBL_MAX
        d.digits[0] = static_cast<char>('0' + rng.Between(2, 9));
        leading = 308;
        expected = Outcome::Overflow;
        break;
      case 2:  // below 1e-329, far under half the smallest subnormal (2.47e-324)
        leading = rng.OneIn(4) ? rng.Between(-9000, -4960) : rng.Between(-4900, -330);
        expected = Outcome::Value;
        break;
      default:  // 1e4933 and up: beyond the extended range
        leading = rng.Between(4933, 9000);
        expected = Outcome::Convert;
        break;
    }
    d.scale = leading - static_cast<int>(d.digits.size() - 1);
    const QString text = Render(rng, d, separator);
    const Read r = TryReal(text, separator);
    bool ok = r.outcome == expected;
    if (ok && expected == Outcome::Value) {
      ok = r.value == 0.0;
    } else if (ok && expected == Outcome::Overflow) {
      ok = r.message == "Floating point overflow";
    } else if (ok && expected == Outcome::Convert) {
      ok = r.message == RealMessage(text);
    }
    if (!ok) {
      ADD_FAILURE() << Context(rng, i, text, separator) << ": got "
                    << (r.outcome == Outcome::Value ? Num(r.value) : r.message);
      if (budget.Spent()) {
        return;
      }
    }
  }
}

// Characters that can stand nowhere in a real: not a digit, blank, sign, separator or e.
const std::vector<QChar>& StrayCharacters() {
  static const std::vector<QChar> stray = {
      u'a', u'b', u'd', u'f', u'x', u'X', u'm', u'M', u'z', u'Z', u'i', u'n', u'#', u'%', u'_', u'/', u'*',
      u'(', u')', u'$', u'\'', u'=', QChar(0x00B5) /* micro */, QChar(0x0663) /* Arabic-Indic 3 */,
      QChar(0xFF15) /* full-width 5 */, QChar(0x00E9) /* e acute */};
  return stray;
}

// A valid text, then one change that the grammar cannot accept.
QString Unreadable(Random& rng, QChar separator, int& kind) {
  const Decimal d = FromScientific(RandomDouble(rng), std::nullopt);
  kind = rng.Below(6);
  switch (kind) {
    case 0: {  // the other separator, in place of ours or among the digits
      QString text = Render(rng, d, separator);
      const QChar other = OtherSeparator(separator);
      const qsizetype at = text.indexOf(separator);
      if (at >= 0) {
        text[at] = other;
      } else {
        qsizetype digit = 0;
        while (!text[digit].isDigit()) {
          ++digit;
        }
        text.insert(digit + 1, other);
      }
      return text;
    }
    case 1: {  // a stray character anywhere
      QString text = Render(rng, d, separator);
      text.insert(rng.Below(static_cast<int>(text.size()) + 1), rng.Pick(StrayCharacters()));
      return text;
    }
    case 2: {  // a second separator anywhere
      QString text = Render(rng, d, separator);
      const int extra = text.contains(separator) ? 1 : 2;
      for (int n = 0; n < extra; ++n) {
        text.insert(rng.Below(static_cast<int>(text.size()) + 1), separator);
      }
      return text;
    }
    case 3: {  // an exponent without its digits, or without anything before it
      if (rng.OneIn(2)) {
        QString text = Render(rng, d, separator, false).trimmed();
        text += rng.OneIn(2) ? u'e' : u'E';
        if (rng.OneIn(2)) {
          text += rng.OneIn(2) ? u'+' : u'-';
        }
        return Blanks(rng) + text + Blanks(rng);
      }
      QString text = Blanks(rng);
      if (rng.OneIn(2)) {
        text += rng.OneIn(2) ? u'+' : u'-';
      }
      text += rng.OneIn(2) ? u'e' : u'E';
      if (rng.OneIn(2)) {
        text += rng.OneIn(2) ? u'+' : u'-';
      }
      text += QString::number(rng.Between(0, 400));
      return text + Blanks(rng);
    }
    case 4: {  // a thousands separator between groups of three digits
      QString whole = QString::number(rng.Between(1000, 2000000000));
      const QChar group = rng.Pick(std::vector<QChar>{OtherSeparator(separator), QChar(u' '), QChar(u'\'')});
      for (qsizetype at = whole.size() - 3; at > 0; at -= 3) {
        whole.insert(at, group);
      }
      QString text = Blanks(rng) + (rng.OneIn(2) ? QStringLiteral("-") : QString()) + whole;
      if (rng.OneIn(2)) {
        text += separator + QString::number(rng.Between(0, 999));
      }
      return text + Blanks(rng);
    }
    default: {
      static const std::vector<QString> forms = {
          QString(),          QStringLiteral("   "),  QStringLiteral("+"),    QStringLiteral("-"),
          QStringLiteral("+-1"), QStringLiteral("--1"), QStringLiteral("1e+-5"), QStringLiteral("1e5e5"),
          QStringLiteral("inf"), QStringLiteral("-INF"), QStringLiteral("nan"),  QStringLiteral("0x1A"),
          QStringLiteral("1d5"), QStringLiteral("1 5"),  QStringLiteral("- 1"),  QStringLiteral("1e 5"),
          QStringLiteral("1e5 5"), QStringLiteral("8 mm")};
      return rng.Pick(forms);
    }
  }
}

TEST(ReadRealFuzz, UnreadableTextsAreNamedInTheMessage) {
  Random rng(kSeed + 3);
  FailureBudget budget;
  for (int i = 0; i < 12000; ++i) {
    const QChar separator = rng.OneIn(2) ? QChar(u',') : QChar(u'.');
    int kind = 0;
    const QString text = Unreadable(rng, separator, kind);
    const Read r = TryReal(text, separator);
    if (r.outcome != Outcome::Convert || r.message != RealMessage(text)) {
      ADD_FAILURE() << Context(rng, i, text, separator) << " (change " << kind << "): got "
                    << (r.outcome == Outcome::Value ? Num(r.value) : r.message);
      if (budget.Spent()) {
        return;
      }
    }
  }
}

// -------------------------------------------------------------------------- integers

std::string Hex(std::uint64_t magnitude, Random& rng) {
  static const char lower[] = "0123456789abcdef";
  static const char upper[] = "0123456789ABCDEF";
  std::string digits;
  do {
    const auto digit = static_cast<std::size_t>(magnitude % 16);
    digits.insert(digits.begin(), rng.OneIn(2) ? lower[digit] : upper[digit]);
    magnitude /= 16;
  } while (magnitude != 0);
  return digits;
}

// [blanks] [sign] [prefix] digits, in decimal or with one of the hexadecimal prefixes.
QString WriteInteger(Random& rng, bool negative, std::uint64_t magnitude) {
  std::string text(static_cast<std::size_t>(rng.Below(4)), ' ');
  if (negative) {
    text += '-';
  } else if (rng.OneIn(4)) {
    text += '+';
  }
  const std::string zeros(static_cast<std::size_t>(rng.OneIn(4) ? rng.Between(1, 4) : 0), '0');
  if (rng.OneIn(2)) {
    static const std::vector<std::string> prefixes = {"$", "x", "X", "0x", "0X"};
    text += rng.Pick(prefixes) + zeros + Hex(magnitude, rng);
  } else {
    text += zeros + std::to_string(magnitude);
  }
  return QString::fromStdString(text);
}

std::int32_t RandomInt32(Random& rng) {
  switch (rng.Below(4)) {
    case 0:
      return std::bit_cast<std::int32_t>(static_cast<std::uint32_t>(rng.Bits()));
    case 1:
      return rng.Between(-1000, 1000);
    case 2:
      return rng.Pick(std::vector<std::int32_t>{0, 1, -1, std::numeric_limits<std::int32_t>::max(),
                                                std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max() - 1,
                                                std::numeric_limits<std::int32_t>::min() + 1});
    default:
      return static_cast<std::int32_t>(rng.Bits() % 100000000) - 50000000;
  }
}

TEST(ReadIntegerFuzz, DecimalAndHexadecimalTextsReadAsTheirValue) {
  Random rng(kSeed + 4);
  FailureBudget budget;
  for (int i = 0; i < 20000; ++i) {
    const std::int32_t value = RandomInt32(rng);
    const bool negative = value < 0 || (value == 0 && rng.OneIn(8));  // "-0" too
    const std::uint64_t magnitude = value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(std::int64_t{value})
                                              : static_cast<std::uint64_t>(value);
    const QString text = WriteInteger(rng, negative, magnitude);
    const std::optional<std::int32_t> tried = platform::TryReadInteger(text);
    std::optional<std::int32_t> read;
    std::string message;
    try {
      read = platform::ReadInteger(text);
    } catch (const std::exception& e) {
      message = e.what();
    }
    if (tried != value || read != value) {
      ADD_FAILURE() << "seed " << rng.Seed() << " case " << i << " text " << Show(text) << ": expected " << value
                    << ", got " << (tried ? std::to_string(*tried) : "nothing") << " / "
                    << (read ? std::to_string(*read) : message);
      if (budget.Spent()) {
        return;
      }
    }
  }
}

QString UnreadableInteger(Random& rng, int& kind) {
  kind = rng.Below(4);
  switch (kind) {
    case 0: {  // beyond 32 signed bits: 2^31 and up, or below -2^31
      const bool negative = rng.OneIn(2);
      const std::uint64_t first = negative ? 2147483649ULL : 2147483648ULL;
      const std::uint64_t magnitude =
          rng.OneIn(3) ? first : first + (rng.Bits() >> rng.Between(1, 33)) % (std::uint64_t{1} << 62);
      if (rng.OneIn(6)) {  // far beyond any fixed width
        std::string digits = std::to_string(rng.Between(1, 9));
        for (int n = rng.Between(20, 40); n > 0; --n) {
          digits += static_cast<char>('0' + rng.Below(10));
        }
        return QString::fromStdString((negative ? "-" : "") + digits);
      }
      return WriteInteger(rng, negative, magnitude);
    }
    case 1: {  // a valid text with one character that cannot stand anywhere in it
      const std::int32_t value = RandomInt32(rng);
      QString text = WriteInteger(rng, value < 0, value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(std::int64_t{value})
                                                            : static_cast<std::uint64_t>(value));
      // Not a hexadecimal digit, prefix, sign or blank.
      static const std::vector<QChar> stray = {u',', u'.', u'g', u'G', u'h', u'z', u'Z', u'#', u'_',
                                               QChar(0x0663), QChar(0xFF15)};
      const qsizetype start = text.size() - text.trimmed().size();  // after the leading blanks
      text.insert(start + rng.Below(static_cast<int>(text.size() - start) + 1), rng.Pick(stray));
      return text;
    }
    case 2: {  // a blank after the digits or between sign and digits
      const std::int32_t value = rng.Between(0, 100000);
      QString text = QString::number(value);
      if (rng.OneIn(2)) {
        text = Blanks(rng) + text + QString(rng.Between(1, 3), u' ');
      } else {
        text = Blanks(rng) + (rng.OneIn(2) ? u'-' : u'+') + QString(rng.Between(1, 2), u' ') + text;
      }
      return text;
    }
    default: {
      static const std::vector<QString> forms = {
          QString(),           QStringLiteral("  "),   QStringLiteral("+"),     QStringLiteral("-"),
          QStringLiteral("$"), QStringLiteral("x"),    QStringLiteral("0x"),    QStringLiteral("-$"),
          QStringLiteral("$-5"), QStringLiteral("++5"), QStringLiteral("+-5"),  QStringLiteral("0x0x5"),
          QStringLiteral("5e3"), QStringLiteral("1F"),  QStringLiteral("$1G"),  QStringLiteral("00x5"),
          QStringLiteral("5-"),  QStringLiteral("5+"),  QStringLiteral("x-1"),  QStringLiteral("2,5")};
      return rng.Pick(forms);
    }
  }
}

TEST(ReadIntegerFuzz, UnreadableTextsAreNamedInTheMessage) {
  Random rng(kSeed + 5);
  FailureBudget budget;
  for (int i = 0; i < 12000; ++i) {
    int kind = 0;
    const QString text = UnreadableInteger(rng, kind);
    const std::optional<std::int32_t> tried = platform::TryReadInteger(text);
    std::string message = "(read)";
    bool convertError = false;
    try {
      platform::ReadInteger(text);
    } catch (const platform::ConvertError& e) {
      convertError = true;
      message = e.what();
    } catch (const std::exception& e) {
      message = e.what();
    }
    if (tried.has_value() || !convertError || message != IntegerMessage(text)) {
      ADD_FAILURE() << "seed " << rng.Seed() << " case " << i << " text " << Show(text) << " (change " << kind
                    << "): " << (tried ? std::to_string(*tried) : "nothing") << " / " << message;
      if (budget.Spent()) {
        return;
      }
    }
  }
}

// ------------------------------------------------------------------------- spin edit


bool OnlyAccepted(const QString& text, QChar separator) {
  for (const QChar c : text) {
    if (!((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == separator)) {
      return false;
    }
  }
  return true;
}

class SpinEditTypingFuzz : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(220, 60);
    other_ = new QLineEdit(&window_);
    other_->setGeometry(8, 8, 60, 24);
    spin_ = new platform::TSpinEdit(&window_);
    spin_->setFont(platform::LayoutFont(QStringLiteral("MS Sans Serif"), 13));
    spin_->setGeometry(100, 8, 49, 26);
    spin_->SetBeep([this] { ++beeps_; });
    QWidget::setTabOrder(other_, spin_);
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  }

  QWidget window_;
  QLineEdit* other_ = nullptr;
  platform::TSpinEdit* spin_ = nullptr;
  int beeps_ = 0;
};

enum class Key { Accepted, Refused, RefusedNonLatin, Enter, Backspace, Delete, Move, SelectAll, Up, Down };

TEST_F(SpinEditTypingFuzz, TextHoldsOnlyAcceptedCharactersAndLeavingLimitsIt) {
  Random rng(kSeed + 6);
  struct Limits {
    int min, max;
  };
  const std::vector<Limits> limits = {{0, 50}, {0, 1000}, {-20, 20}};
  const std::vector<Key> keys = {Key::Accepted, Key::Accepted, Key::Accepted, Key::Accepted, Key::Accepted,
                                 Key::Refused,  Key::Refused,  Key::RefusedNonLatin, Key::Enter, Key::Backspace,
                                 Key::Delete,   Key::Move,     Key::SelectAll, Key::Up, Key::Down};
  const std::vector<char> refusedAscii = {'a', 'Z', 'e', 'E', 'x', '$', ' ', '*', '/', '=', '#', '_', '(', 'q'};
  FailureBudget budget;
  int typed = 0;
  for (int round = 0; round < 2500; ++round) {
    const Limits& limit = rng.Pick(limits);
    const QChar separator = rng.OneIn(2) ? QChar(u',') : QChar(u'.');
    spin_->SetMinValue(limit.min);
    spin_->SetMaxValue(limit.max);
    spin_->SetDecimalSeparator(separator);
    const std::vector<char> accepted = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '+', '-',
                                        static_cast<char>(separator.unicode())};
    other_->setFocus();
    QString start;
    for (int n = rng.Below(5); n > 0; --n) {
      start += QChar(rng.Pick(accepted));
    }
    spin_->setText(start);
    spin_->setFocus();
    ASSERT_TRUE(spin_->hasFocus());
    beeps_ = 0;

    std::string trail;  // the keys of this round, for the failure message
    bool failed = false;
    const auto fail = [&](const std::string& what) {
      ADD_FAILURE() << "seed " << rng.Seed() << " round " << round << ", limits " << limit.min << ".." << limit.max
                    << ", separator '" << static_cast<char>(separator.unicode()) << "', start " << Show(start)
                    << ", keys [" << trail << "]: " << what;
      failed = true;
    };

    for (int n = rng.Between(1, 14); n > 0 && !failed; --n, ++typed) {
      const QString before = spin_->text();
      const int cursor = spin_->cursorPosition();
      const QString selected = spin_->selectedText();
      const int selectionStart = spin_->selectionStart();
      const int beepsBefore = beeps_;
      const Key key = rng.Pick(keys);
      QString expected = before;  // what the key leaves; unchanged unless modelled below
      int expectedBeeps = beepsBefore;
      switch (key) {
        case Key::Accepted: {
          const char c = rng.Pick(accepted);
          trail += c;
          QTest::keyClick(spin_, c);
          if (!selected.isEmpty()) {
            expected.remove(selectionStart, selected.size());
            expected.insert(selectionStart, QChar(c));
          } else {
            expected.insert(cursor, QChar(c));
          }
          break;
        }
        case Key::Refused: {
          char c = rng.Pick(refusedAscii);
          if (rng.OneIn(4)) {
            c = static_cast<char>(OtherSeparator(separator).unicode());
          }
          trail += c;
          QTest::keyClick(spin_, c);
          expectedBeeps = beepsBefore + 1;
          break;
        }
        case Key::RefusedNonLatin: {
          const bool micro = rng.OneIn(2);
          trail += micro ? "<mu>" : "<e-acute>";
          QTest::sendKeyEvent(QTest::Click, spin_, micro ? Qt::Key_mu : Qt::Key_Eacute,
                              QString(micro ? QChar(0x00B5) : QChar(0x00E9)), Qt::NoModifier);
          expectedBeeps = beepsBefore + 1;
          break;
        }
        case Key::Enter: {
          const bool keypad = rng.OneIn(2);
          trail += keypad ? "<Enter>" : "<Return>";
          QTest::keyClick(spin_, keypad ? Qt::Key_Enter : Qt::Key_Return);
          expectedBeeps = beepsBefore + 1;
          break;
        }
        case Key::Backspace:
          trail += "<BS>";
          QTest::keyClick(spin_, Qt::Key_Backspace);
          if (!selected.isEmpty()) {
            expected.remove(selectionStart, selected.size());
          } else if (cursor > 0) {
            expected.remove(cursor - 1, 1);
          }
          break;
        case Key::Delete:
          trail += "<Del>";
          QTest::keyClick(spin_, Qt::Key_Delete);
          if (!selected.isEmpty()) {
            expected.remove(selectionStart, selected.size());
          } else {
            expected.remove(cursor, 1);
          }
          break;
        case Key::Move: {
          static const std::vector<Qt::Key> moves = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End};
          const Qt::Key move = rng.Pick(moves);
          const Qt::KeyboardModifiers shift = rng.OneIn(3) ? Qt::ShiftModifier : Qt::NoModifier;
          trail += "<move>";
          QTest::keyClick(spin_, move, shift);
          break;
        }
        case Key::SelectAll:
          trail += "<Ctrl+A>";
          QTest::keyClick(spin_, Qt::Key_A, Qt::ControlModifier);
          if (spin_->selectedText() != spin_->text()) {
            fail("Ctrl+A selected " + Show(spin_->selectedText()));
          }
          break;
        case Key::Up:
        case Key::Down: {
          const int direction = key == Key::Up ? 1 : -1;
          trail += key == Key::Up ? "<Up>" : "<Down>";
          QTest::keyClick(spin_, key == Key::Up ? Qt::Key_Up : Qt::Key_Down);
          const std::int64_t value = TypedInteger(before).value_or(limit.min) + direction;
          expected = QString::number(std::clamp<std::int64_t>(value, limit.min, limit.max));
          break;
        }
      }
      // A refused key changes nothing at all but the beep count.
      if ((key == Key::Refused || key == Key::RefusedNonLatin || key == Key::Enter) &&
          (spin_->cursorPosition() != cursor || spin_->selectedText() != selected)) {
        fail("a refused key moved the cursor or the selection");
      }
      if (spin_->text() != expected) {
        fail("text " + Show(spin_->text()) + ", expected " + Show(expected));
      }
      if (beeps_ != expectedBeeps) {
        fail(std::to_string(beeps_ - beepsBefore) + " beeps for the last key");
      }
      if (!OnlyAccepted(spin_->text(), separator)) {
        fail("text " + Show(spin_->text()) + " holds a refused character");
      }
    }
    if (failed) {
      if (budget.Spent()) {
        return;
      }
      continue;
    }

    // Leaving: an integer outside the limits is pulled to the nearest one; anything else stays.
    const QString typedText = spin_->text();
    const std::optional<std::int64_t> typedValue = TypedInteger(typedText);
    const QString expected =
        typedValue && (*typedValue < limit.min || *typedValue > limit.max)
            ? QString::number(std::clamp<std::int64_t>(*typedValue, limit.min, limit.max))
            : typedText;
    switch (rng.Below(3)) {
      case 0:
        trail += " then a click elsewhere";
        QTest::mouseClick(other_, Qt::LeftButton);
        break;
      case 1:
        trail += " then Tab";
        QTest::keyClick(spin_, Qt::Key_Tab);
        break;
      default:
        trail += " then the focus set elsewhere";
        other_->setFocus();
        break;
    }
    if (!other_->hasFocus()) {
      fail("the focus did not leave");
    } else if (spin_->text() != expected) {
      fail("left as " + Show(spin_->text()) + ", expected " + Show(expected));
    } else {
      const std::optional<std::int64_t> finalValue = TypedInteger(spin_->text());
      const int value = static_cast<int>(finalValue.value_or(limit.min));
      if (spin_->Value() != value) {
        fail("Value() " + std::to_string(spin_->Value()) + ", expected " + std::to_string(value));
      }
    }
    if (failed && budget.Spent()) {
      return;
    }
  }
  EXPECT_GT(typed, 10000) << "too few keys reached the spin edit to mean much";
}

}  // namespace
