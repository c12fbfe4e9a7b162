// Random texts for the number readers and random typing into the spin edit. Expectations come from how a
// case was built or from the grammar written as a pattern, never from the code under test. Fixed seeds.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <string>

#include "platform/number_reading.h"
#include "platform/spin_edit.h"
#include "tests/support/random.h"
#include "tests/support/typed_integer.h"

namespace {

QChar Separator(Random& rng) { return rng.OneIn(2) ? QChar(u',') : QChar(u'.'); }
std::string Message(const QString& text, const char* kind) {
  return ("'" + text + "' is not a valid " + kind + " value").toStdString();
}

QString Lead(Random& rng, bool negative) {
  const QString blanks(rng.Below(3), u' ');
  return blanks + (negative ? "-" : rng.OneIn(4) ? "+" : "");
}

// ReadReal's value as its shortest text (the sign of a zero is no rule here), or its message.
std::string Real(const QString& text, QChar separator) {
  try {
    const double value = platform::ReadReal(text, separator);
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value).ptr);
  } catch (const std::exception& e) {
    return e.what();
  }
}

// ReadInteger's value or message, where TryReadInteger agrees.
std::string Integer(const QString& text) {
  try {
    const std::int32_t value = platform::ReadInteger(text);
    return platform::TryReadInteger(text) == value ? std::to_string(value) : "TryReadInteger disagrees";
  } catch (const platform::ConvertError& e) {
    return platform::TryReadInteger(text) ? "TryReadInteger disagrees" : e.what();
  }
}

// One character inserted, replaced or removed.
void Mutate(Random& rng, QString& text, const QString& alphabet) {
  const int at = rng.Below(static_cast<int>(text.size()) + 1);
  const QString c(alphabet[rng.Below(static_cast<int>(alphabet.size()))]);
  const int how = at == text.size() ? 0 : rng.Below(3);
  text.replace(at, how == 0 ? 0 : 1, how == 2 ? QString() : c);
}

TEST(TextFuzz, RealsReadBackOrAreNamedOrOverflow) {
  Random rng(1);
  // [sign] digits with at most one separator (S), at least one of either [e [sign] digits]
  const QRegularExpression grammar("^ *[+-]?([0-9]+S?[0-9]*|S[0-9]*)([eE][+-]?([0-9]+))? *$");
  for (int i = 0; i < 20000; ++i) {
    const QChar separator = Separator(rng);
    const double value = std::bit_cast<double>(rng.Bits() & ~(std::uint64_t{1} << 52));  // never inf or NaN
    // 21 or more significant digits lie within half a unit of the extended format from the double,
    // so reading to extended and storing as double must give the double back exactly.
    char buffer[64];
    const char* end = std::to_chars(buffer, buffer + 64, std::fabs(value), std::chars_format::general, 21 + i % 5).ptr;
    const QString written = QString::fromLatin1(buffer, end - buffer).replace(u'.', separator);
    QString text = Lead(rng, std::signbit(value)) + (i % 2 ? written : written.toUpper()) + QString(i % 3, u' ');
    ASSERT_EQ(platform::ReadReal(text, separator), value) << text.toStdString();

    Mutate(rng, text, QStringLiteral("07+-eE x$a,.\u0663\uFF15"));
    const auto match = grammar.match(QString(text).replace(separator, u'S'));
    if (match.capturedLength(3) <= 3) {  // a longer exponent may lie beyond even the extended range
      ASSERT_EQ(Real(text, separator) == Message(text, "floating point"), !match.hasMatch()) << text.toStdString();
    }

    // m·10^e, 1 <= m < 10: past the double range but under the extended one (1.19e4932) it overflows
    // when stored, past that it is no number, far under the smallest double it reads as 0.
    const int low[] = {309, 4933, -99999}, high[] = {4931, 99999, -330}, power = rng.Between(low[i % 3], high[i % 3]);
    text = QString::number(rng.Between(100000, 999999)).insert(1, separator).prepend(i % 2 ? "-" : "");
    text += "e" + QString::number(power);
    const std::string expected[] = {"Floating point overflow", Message(text, "floating point"), "0"};
    ASSERT_EQ(Real(text, separator), expected[i % 3]) << text.toStdString();
  }
}

std::string Expected(const QString& text, bool negative, std::uint64_t magnitude) {
  const auto value = static_cast<std::int64_t>(magnitude);
  return magnitude > (negative ? 2147483648u : 2147483647u) ? Message(text, "integer")
                                                          : std::to_string(negative ? -value : value);
}

TEST(TextFuzz, IntegersDecimalOrHexadecimalWithin32BitsOrNamed) {
  Random rng(3);
  const QRegularExpression grammar("^ *([+-]?)(?:([0-9]+)|(?:[$xX]|0[xX])([0-9a-fA-F]+))$");
  const std::vector<QString> prefixes = {"$", "x", "X", "0x", "0X"};
  for (int i = 0; i < 20000; ++i) {
    const bool negative = i % 2;
    const std::uint64_t magnitude = rng.Bits() >> rng.Between(1, 63);  // every bit length
    const QString lead = Lead(rng, negative), zeros(i % 5 == 0 ? i % 3 + 1 : 0, u'0');
    const QString hex = QString::number(magnitude, 16);
    QString text = i % 4 == 0 ? lead + zeros + QString::number(magnitude)
                              : lead + rng.Pick(prefixes) + zeros + (i % 4 == 1 ? hex : hex.toUpper());
    ASSERT_EQ(Integer(text), Expected(text, negative, magnitude)) << text.toStdString();

    Mutate(rng, text, QStringLiteral("09aFgx$+- ,.\u0663"));
    const auto match = grammar.match(text);
    const bool isHex = match.capturedLength(3) > 0;
    bool ok = match.hasMatch();
    const std::uint64_t read = ok ? match.captured(isHex ? 3 : 2).toULongLong(&ok, isHex ? 16 : 10) : 0;
    ASSERT_EQ(Integer(text), ok ? Expected(text, match.captured(1) == "-", read) : Message(text, "integer"))
        << text.toStdString();
  }
}

TEST(TextFuzz, SpinEditKeepsOnlyAcceptedCharactersAndLeavingLimitsOnlyIntegers) {
  QWidget window;
  auto* other = new QLineEdit(&window);
  auto* spin = new platform::TSpinEdit(&window);
  int beeps = 0;
  spin->SetBeep([&] { ++beeps; });
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  const std::vector<Qt::Key> editing = {Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Up, Qt::Key_Down, Qt::Key_Return};
  const QString keys = QStringLiteral("0123456789+-,.aZeEx$ */\u00B5\u00E9");
  Random rng(4);
  for (int round = 0; round < 1500; ++round) {
    const int min = round % 2 ? 0 : -20, max = round % 3 ? 50 : 1000;
    const QString accepted = QStringLiteral("0123456789+-") + Separator(rng);
    spin->SetMinValue(min);
    spin->SetMaxValue(max);
    spin->SetDecimalSeparator(accepted.back());
    spin->setText(QString::number(rng.Between(-30, 1100)));
    spin->setFocus();
    for (int n = rng.Between(1, 12); n > 0; --n) {
      const QString before = spin->text();
      const int beepsBefore = beeps;
      if (rng.OneIn(4)) {  // editing keys; Enter is refused
        const Qt::Key key = rng.Pick(editing);
        QTest::keyClick(spin, key, rng.OneIn(3) ? Qt::ShiftModifier : Qt::NoModifier);
        ASSERT_EQ(beeps, beepsBefore + (key == Qt::Key_Return ? 1 : 0));
      } else {  // a character typed over the selection or at the cursor, or refused with a beep
        const QChar c = keys[rng.Below(static_cast<int>(keys.size()))];
        const bool refused = !accepted.contains(c);
        const int at = spin->hasSelectedText() ? spin->selectionStart() : spin->cursorPosition();
        const QString expected = QString(before).remove(at, spin->selectedText().size()).insert(at, c);
        QTest::sendKeyEvent(QTest::Click, spin, Qt::Key(c.toUpper().unicode()), QString(c), {});
        ASSERT_EQ(spin->text(), refused ? before : expected);
        ASSERT_EQ(beeps, beepsBefore + (refused ? 1 : 0)) << "'" << QString(c).toStdString() << "'";
      }
    }
    const QString typed = spin->text();
    ASSERT_TRUE(std::all_of(typed.begin(), typed.end(), [&](QChar c) { return accepted.contains(c); }));
    const auto value = TypedInteger(typed);
    const bool outside = value && (*value < min || *value > max);
    rng.OneIn(2) ? QTest::keyClick(spin, Qt::Key_Tab) : other->setFocus();
    ASSERT_TRUE(other->hasFocus());
    ASSERT_EQ(spin->text(), outside ? QString::number(std::clamp<std::int64_t>(*value, min, max)) : typed);
  }
}

}  // namespace
