#include "app/model.h"
#include "interference/panel.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

using namespace divograf;

namespace {

struct RuleCase
{
    Pair pair;
    const char *text;
    int value;
    const char *rewrite; // nullptr: the text stays as it is
};

void PrintTo(const RuleCase &c, std::ostream *os)
{
    *os << spec(c.pair).textBox << " \"" << c.text << '"';
}

class TextRule : public testing::TestWithParam<RuleCase> {};

} // namespace

TEST_P(TextRule, GivesTheValueAndRewritesOnlyWhenTheTextDoesNotShowIt)
{
    const RuleCase &c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    const TextOutcome outcome = applyTextRule(spec(c.pair), text);
    EXPECT_EQ(outcome.value, c.value);
    if (c.rewrite)
        EXPECT_EQ(outcome.rewrite, std::optional<QString>(QString::fromUtf8(c.rewrite)));
    else
        EXPECT_EQ(outcome.rewrite, std::nullopt);

    // Through the panel: the handler runs, rewrites, and runs again on the rewritten text.
    InterferencePanel panel;
    panel.setText(c.pair, text);
    EXPECT_EQ(panel.value(c.pair), c.value);
    EXPECT_EQ(panel.text(c.pair), c.rewrite ? QString::fromUtf8(c.rewrite) : text);
    EXPECT_GE(panel.value(c.pair), spec(c.pair).min);
    EXPECT_LE(panel.value(c.pair), spec(c.pair).max);
}

INSTANTIATE_TEST_SUITE_P(Wrap, TextRule, testing::Values(
    RuleCase{Pair::L, "3000", 3000, nullptr},
    RuleCase{Pair::L, "3001", 1, "1"},        // 3001 mod 3001 = 0, raised to 1
    RuleCase{Pair::L, "3500", 499, "499"},
    RuleCase{Pair::L, "-5", 1, "1"},          // -5 mod 3001 = -5 (sign of the dividend)
    RuleCase{Pair::L, "-3006", 1, "1"},
    RuleCase{Pair::Num, "0", 1, "1"},
    RuleCase{Pair::Num, "25", 4, "4"},
    RuleCase{Pair::Num, "21", 1, "1"},
    RuleCase{Pair::Num, "20", 20, nullptr},
    RuleCase{Pair::Scal, "12", 1, "1"},
    RuleCase{Pair::Scal, "11", 1, "1"},
    RuleCase{Pair::Scal, "10", 10, nullptr}));

INSTANTIATE_TEST_SUITE_P(Rounding, TextRule, testing::Values(
    RuleCase{Pair::L, "12.5", 12, "12"},      // half to even
    RuleCase{Pair::L, "13.5", 14, "14"},
    RuleCase{Pair::L, "12.49", 12, "12"},
    RuleCase{Pair::L, "12.0", 12, nullptr},   // shows the value: left alone
    RuleCase{Pair::Num, "0.5", 1, "1"},       // rounds to 0, raised to 1
    RuleCase{Pair::Num, "1.5", 2, "2"}));

INSTANTIATE_TEST_SUITE_P(Amplitude, TextRule, testing::Values(
    RuleCase{Pair::Ampl, "450", 500, nullptr},
    RuleCase{Pair::Ampl, "0", 50, nullptr},
    RuleCase{Pair::Ampl, "460", 50, "0"},     // 510 wraps to 9, raised to 50
    RuleCase{Pair::Ampl, "-30", 50, "0"},     // 20, raised to 50
    RuleCase{Pair::Ampl, "-50", 50, "0"},
    RuleCase{Pair::Ampl, "449.5", 500, "450"}, // 499.5 rounds to the even 500
    RuleCase{Pair::Ampl, "буквы", 50, nullptr}, // reads 0, so t = 50 = v: the letters stay
    RuleCase{Pair::Ampl, "", 50, nullptr}));

INSTANTIATE_TEST_SUITE_P(Reading, TextRule, testing::Values(
    RuleCase{Pair::Num, "letters", 1, "1"},
    RuleCase{Pair::L, "", 1, nullptr},        // an empty text stays empty
    RuleCase{Pair::L, " 700 ", 700, nullptr}, // as a loaded file writes it
    RuleCase{Pair::L, "\t 7 0 0", 700, nullptr}, // blanks are skipped inside the number too
    RuleCase{Pair::L, "+8", 8, nullptr},
    RuleCase{Pair::L, "- 8", 1, "1"},
    RuleCase{Pair::L, "12abc", 12, nullptr},  // the number read is the value: the text stays
    RuleCase{Pair::L, "12.5abc", 12, "12"},
    RuleCase{Pair::L, "7,5", 7, nullptr},     // a comma ends the number in every locale
    RuleCase{Pair::L, "7,6", 7, nullptr},
    RuleCase{Pair::L, "1e3", 1000, nullptr},
    RuleCase{Pair::L, "1E+3", 1000, nullptr},
    RuleCase{Pair::L, "25e-1", 2, "2"},       // 2.5, half to even
    RuleCase{Pair::L, "1e", 1, nullptr},      // an exponent needs digits
    RuleCase{Pair::L, "5e+x", 5, nullptr},
    RuleCase{Pair::L, ".5e3", 500, nullptr},
    RuleCase{Pair::L, "5.", 5, nullptr},
    RuleCase{Pair::L, ".", 1, "1"},
    RuleCase{Pair::L, "-", 1, "1"},
    RuleCase{Pair::L, "0x10", 1, "1"},        // no hexadecimal: reads 0
    RuleCase{Pair::L, "&H10", 1, "1"},
    RuleCase{Pair::L, "٣", 1, "1"}));         // only ASCII digits

// Beyond the 32-bit range a number counts as the nearest 32-bit bound, then wraps as usual:
// 2147483647 mod 3001 = 1058, mod 501 = 253, mod 21 = 1.
INSTANTIATE_TEST_SUITE_P(OutOfRange, TextRule, testing::Values(
    RuleCase{Pair::L, "1e12", 1058, "1058"},
    RuleCase{Pair::L, "4294967296", 1058, "1058"},
    RuleCase{Pair::L, "1e400", 1058, "1058"},
    RuleCase{Pair::L, "1e99999999999999999999", 1058, "1058"},
    RuleCase{Pair::L, "-1e12", 1, "1"},
    RuleCase{Pair::L, "-1e400", 1, "1"},
    RuleCase{Pair::L, "1e-400", 1, "1"},      // 0
    RuleCase{Pair::L, "0.000e999", 1, "1"},
    RuleCase{Pair::L, "inf", 1, "1"},         // words are not numbers
    RuleCase{Pair::L, "nan", 1, "1"},
    RuleCase{Pair::L, "-inf", 1, "1"},
    RuleCase{Pair::Ampl, "1e12", 253, "203"},
    RuleCase{Pair::Ampl, "1e400", 253, "203"},
    RuleCase{Pair::Ampl, "-1e400", 50, "0"},
    RuleCase{Pair::Ampl, "inf", 50, nullptr},
    RuleCase{Pair::Num, "1e12", 1, "1"}));

TEST(LeadingNumber, ReadsTheNumberAtTheStartWhateverTheLocale)
{
    // A locale with a decimal comma must not change the reading.
    const char *old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        std::setlocale(LC_ALL, "ru_RU.UTF-8");
    EXPECT_EQ(leadingNumber(QStringLiteral("12.75")), 12.75);
    EXPECT_EQ(leadingNumber(QStringLiteral("12,75")), 12);
    std::setlocale(LC_ALL, saved.c_str());

    EXPECT_EQ(leadingNumber(QStringLiteral("  -3.25e2xyz")), -325);
    EXPECT_EQ(leadingNumber(QStringLiteral("007")), 7);
    EXPECT_EQ(leadingNumber(QStringLiteral("1e400")), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber(QStringLiteral("-1e400")), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber(QStringLiteral("1e-400")), 0);
    EXPECT_EQ(leadingNumber(QStringLiteral("abc")), 0);
    EXPECT_EQ(leadingNumber(QString()), 0);
}

TEST(InterferencePanel, StartUpWritesTheTextsThatSetTheSpinners)
{
    InterferencePanel panel;
    // Design time: ampl 100, the others 1, every text "1".
    EXPECT_EQ(panel.value(Pair::Ampl), 100);
    EXPECT_EQ(panel.value(Pair::L), 1);
    EXPECT_EQ(panel.text(Pair::Scal), QStringLiteral("1"));

    Model m;
    m.startUp();
    const InterferencePanel &p = m.interference;
    EXPECT_EQ(p.value(Pair::Ampl), 100);
    EXPECT_EQ(p.value(Pair::Scal), 7);
    EXPECT_EQ(p.value(Pair::Num), 7);
    EXPECT_EQ(p.value(Pair::L), 700);
    EXPECT_EQ(p.text(Pair::Ampl), QStringLiteral("50"));
    EXPECT_EQ(p.text(Pair::Scal), QStringLiteral("7"));
    EXPECT_EQ(p.text(Pair::Num), QStringLiteral("7"));
    EXPECT_EQ(p.text(Pair::L), QStringLiteral("700"));
    EXPECT_EQ(StartUpOrder, (std::array{Pair::Num, Pair::L, Pair::Scal, Pair::Ampl}));
}

TEST(InterferencePanel, ArrowsStepWithinTheRangeAndTheTextFollowsOnRelease)
{
    InterferencePanel p;
    p.startUp();
    for (int expected : {710, 720, 730}) {
        p.step(Pair::L, +1);
        EXPECT_EQ(p.value(Pair::L), expected);
        EXPECT_EQ(p.text(Pair::L), QString::number(expected - 10)); // not before the release
        p.released(Pair::L);
        EXPECT_EQ(p.text(Pair::L), QString::number(expected));
        EXPECT_EQ(p.value(Pair::L), expected);
    }

    p.setText(Pair::Ampl, QStringLiteral("450"));
    p.step(Pair::Ampl, +1);
    EXPECT_EQ(p.value(Pair::Ampl), 500);
    p.released(Pair::Ampl);
    EXPECT_EQ(p.text(Pair::Ampl), QStringLiteral("450"));
    p.step(Pair::Ampl, -1);
    p.released(Pair::Ampl);
    EXPECT_EQ(p.value(Pair::Ampl), 490);
    EXPECT_EQ(p.text(Pair::Ampl), QStringLiteral("440"));

    p.setText(Pair::L, QStringLiteral("2995"));
    p.step(Pair::L, +1);
    EXPECT_EQ(p.value(Pair::L), 3000); // the increment stops at the maximum
    p.setText(Pair::L, QStringLiteral("5"));
    p.step(Pair::L, -1);
    EXPECT_EQ(p.value(Pair::L), 1);
    p.setText(Pair::Num, QStringLiteral("1"));
    p.step(Pair::Num, -1);
    EXPECT_EQ(p.value(Pair::Num), 1);
    p.released(Pair::Num);
    EXPECT_EQ(p.text(Pair::Num), QStringLiteral("1"));
}

TEST(InterferencePanel, ReleaseReplacesABlankLedOrEmptyTextByPlainDigits)
{
    InterferencePanel p;
    p.startUp();
    p.setText(Pair::Scal, QStringLiteral(" 5 "));
    EXPECT_EQ(p.value(Pair::Scal), 5);
    EXPECT_EQ(p.text(Pair::Scal), QStringLiteral(" 5 "));
    p.released(Pair::Scal);
    EXPECT_EQ(p.text(Pair::Scal), QStringLiteral("5"));

    p.setText(Pair::Ampl, QString());
    EXPECT_EQ(p.value(Pair::Ampl), 50);
    EXPECT_EQ(p.text(Pair::Ampl), QString());
    p.released(Pair::Ampl);
    EXPECT_EQ(p.text(Pair::Ampl), QStringLiteral("0"));
}

TEST(InterferencePanel, TextBoxesAreFoundByName)
{
    EXPECT_EQ(textBoxNamed("amplt"), Pair::Ampl);
    EXPECT_EQ(textBoxNamed("scalt"), Pair::Scal);
    EXPECT_EQ(textBoxNamed("numt"), Pair::Num);
    EXPECT_EQ(textBoxNamed("lt"), Pair::L);
    EXPECT_EQ(textBoxNamed("l"), std::nullopt);
}
