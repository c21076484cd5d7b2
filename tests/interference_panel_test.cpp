// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The interference pairs: the text rule with its edge cases, the reading of a number out of a
// text, the start-up texts and the spinner's release.

#include "core/model.h"
#include "core/interference/panel.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <vector>

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

constexpr Pair L = Pair::L, Num = Pair::Num, Scal = Pair::Scal, Ampl = Pair::Ampl;

} // namespace

TEST_P(TextRule, GivesTheValueAndRewritesOnlyWhenTheTextDoesNotShowIt)
{
    const RuleCase &c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    const TextOutcome outcome = applyTextRule(spec(c.pair), text);
    EXPECT_EQ(outcome.value, c.value);
    EXPECT_EQ(outcome.rewrite, c.rewrite ? std::optional<QString>(QString::fromUtf8(c.rewrite)) : std::nullopt);

    // Through the panel: the handler runs, rewrites, and runs again on the rewritten text.
    InterferencePanel panel;
    panel.setText(c.pair, text);
    EXPECT_EQ(panel.value(c.pair), c.value);
    EXPECT_EQ(panel.text(c.pair), c.rewrite ? QString::fromUtf8(c.rewrite) : text);
}

INSTANTIATE_TEST_SUITE_P(Wrap, TextRule, testing::Values(
    RuleCase{L, "3000", 3000, nullptr}, RuleCase{L, "3001", 1, "1"}, // 3001 mod 3001 = 0, raised to 1
    RuleCase{L, "3500", 499, "499"}, RuleCase{L, "-5", 1, "1"},      // -5 mod 3001 = -5 (sign of the dividend)
    RuleCase{L, "-3006", 1, "1"}, RuleCase{Num, "0", 1, "1"}, RuleCase{Num, "25", 4, "4"},
    RuleCase{Num, "21", 1, "1"}, RuleCase{Num, "20", 20, nullptr}, RuleCase{Scal, "12", 1, "1"},
    RuleCase{Scal, "11", 1, "1"}, RuleCase{Scal, "10", 10, nullptr}));

INSTANTIATE_TEST_SUITE_P(Rounding, TextRule, testing::Values(
    RuleCase{L, "12.5", 12, "12"}, RuleCase{L, "13.5", 14, "14"}, // half to even
    RuleCase{L, "12.49", 12, "12"}, RuleCase{L, "12.0", 12, nullptr}, // shows the value: left alone
    RuleCase{Num, "0.5", 1, "1"}, RuleCase{Num, "1.5", 2, "2"}));

INSTANTIATE_TEST_SUITE_P(Amplitude, TextRule, testing::Values(
    RuleCase{Ampl, "450", 500, nullptr}, RuleCase{Ampl, "0", 50, nullptr},
    RuleCase{Ampl, "460", 50, "0"}, RuleCase{Ampl, "-30", 50, "0"}, // 510 wraps to 9; 20; both raised to 50
    RuleCase{Ampl, "-50", 50, "0"}, RuleCase{Ampl, "449.5", 500, "450"}, // 499.5 rounds to the even 500
    RuleCase{Ampl, "буквы", 50, nullptr}, // reads 0, so t = 50 = v: the letters stay
    RuleCase{Ampl, "", 50, nullptr}));

INSTANTIATE_TEST_SUITE_P(Reading, TextRule, testing::Values(
    RuleCase{Num, "letters", 1, "1"}, RuleCase{L, "", 1, nullptr}, // an empty text stays empty
    RuleCase{L, " 700 ", 700, nullptr},     // as a loaded file writes it
    RuleCase{L, "\t 7 0 0", 700, nullptr},  // blanks are skipped inside the number too
    RuleCase{L, "+8", 8, nullptr}, RuleCase{L, "- 8", 1, "1"},
    RuleCase{L, "12abc", 12, nullptr},      // the number read is the value: the text stays
    RuleCase{L, "12.5abc", 12, "12"},
    RuleCase{L, "7,5", 7, nullptr}, RuleCase{L, "7,6", 7, nullptr}, // a comma ends the number in every locale
    RuleCase{L, "1e3", 1000, nullptr}, RuleCase{L, "1E+3", 1000, nullptr},
    RuleCase{L, "25e-1", 2, "2"},           // 2.5, half to even
    RuleCase{L, "1e", 1, nullptr}, RuleCase{L, "5e+x", 5, nullptr}, // an exponent needs digits
    RuleCase{L, ".5e3", 500, nullptr}, RuleCase{L, "5.", 5, nullptr}, RuleCase{L, ".", 1, "1"},
    RuleCase{L, "-", 1, "1"},
    RuleCase{L, "0x10", 1, "1"}, RuleCase{L, "&H10", 1, "1"}, // no hexadecimal: reads 0
    RuleCase{L, "٣", 1, "1"}));              // only ASCII digits

// Beyond the 32-bit range a number counts as the nearest 32-bit bound, then wraps as usual:
// 2147483647 mod 3001 = 1058, mod 501 = 253, mod 21 = 1.
INSTANTIATE_TEST_SUITE_P(OutOfRange, TextRule, testing::Values(
    RuleCase{L, "1e12", 1058, "1058"}, RuleCase{L, "4294967296", 1058, "1058"},
    RuleCase{L, "1e400", 1058, "1058"}, RuleCase{L, "1e99999999999999999999", 1058, "1058"},
    RuleCase{L, "-1e12", 1, "1"}, RuleCase{L, "-1e400", 1, "1"},
    RuleCase{L, "1e-400", 1, "1"}, RuleCase{L, "0.000e999", 1, "1"}, // 0
    RuleCase{L, "inf", 1, "1"}, RuleCase{L, "nan", 1, "1"}, RuleCase{L, "-inf", 1, "1"}, // words are not numbers
    RuleCase{Ampl, "1e12", 253, "203"}, RuleCase{Ampl, "1e400", 253, "203"},
    RuleCase{Ampl, "-1e400", 50, "0"}, RuleCase{Ampl, "inf", 50, nullptr}, RuleCase{Num, "1e12", 1, "1"}));

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
    EXPECT_EQ(leadingNumber(QStringLiteral("1e400")), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber(QStringLiteral("-1e400")), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber(QStringLiteral("1e-400")), 0);
}

TEST(InterferencePanel, StartUpWritesTheTextsThatSetTheSpinners)
{
    Model m;
    m.startUp();
    const InterferencePanel &p = m.interference;
    EXPECT_EQ(std::vector<int>({p.value(Ampl), p.value(Scal), p.value(Num), p.value(L)}),
              std::vector<int>({100, 7, 7, 700}));
    EXPECT_EQ(QStringList({p.text(Ampl), p.text(Scal), p.text(Num), p.text(L)}), QStringList({"50", "7", "7", "700"}));
    EXPECT_EQ(textBoxNamed("lt"), L);
    EXPECT_EQ(textBoxNamed("l"), std::nullopt); // spinners are not text boxes
}

TEST(InterferencePanel, TheTextFollowsTheSpinnerOnlyOnReleaseAsPlainDigits)
{
    InterferencePanel p;
    p.startUp();
    p.setSpinner(L, 710);
    EXPECT_EQ(p.text(L), QStringLiteral("700"));
    p.released(L);
    EXPECT_EQ(p.text(L), QStringLiteral("710"));
    EXPECT_EQ(p.value(L), 710);
    p.setSpinner(Ampl, 600); // clamped to the range
    p.released(Ampl);
    EXPECT_EQ(p.value(Ampl), 500);
    EXPECT_EQ(p.text(Ampl), QStringLiteral("450"));

    // A blank-led text (as Load writes it) or an empty one is replaced on release.
    p.setText(Scal, QStringLiteral(" 5 "));
    EXPECT_EQ(p.text(Scal), QStringLiteral(" 5 "));
    p.released(Scal);
    EXPECT_EQ(p.text(Scal), QStringLiteral("5"));
    p.setText(Ampl, QString());
    EXPECT_EQ(p.value(Ampl), 50);
    p.released(Ampl);
    EXPECT_EQ(p.text(Ampl), QStringLiteral("0"));
}
