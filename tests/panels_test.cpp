// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The panels: the fractal handlers with the widths they store, and the text rule of the
// interference pairs with the reading of a number out of a text.

#include "core/model.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <vector>

using namespace divograf;

namespace {

constexpr StoredInt B16(int v) { return {v, Width::Bits16}; }
constexpr StoredInt B32(int v) { return {v, Width::Bits32}; }

struct Handler
{
    Control control;
    int value;
    StoredInt FractalVars::*variable;
    StoredInt expected;
};

} // namespace

TEST(FractalPanel, HandlersStoreTheDerivedValueWithTheirWidth)
{
    Model m;
    m.startUp();
    const FractalVars &v = m.fractal.vars;
    EXPECT_EQ(std::vector<StoredInt>({v.CenterX, v.CenterY, v.SizeFactor, v.Detail, v.Coef, v.RedCorr, v.GreenCorr, v.BlueCorr, v.Squarings, v.Cube, v.UseMoivre, v.Axes}),
              std::vector<StoredInt>({B16(2500), B16(2500), B16(30), B16(50), B16(2), B16(25), B16(24), B16(23), B32(1), B16(0), B16(0), B32(7)}));
    EXPECT_EQ(std::make_tuple(m.fractal.mmEnabled(), m.fractal.value(Control::Box), m.marker.Left, m.fractal.label2Caption(), m.fractal.frame1Caption()),
              std::make_tuple(false, 1, 2411, QStringLiteral("Оси 7"), QStringLiteral("Размер 30")));
    // Sliders store 32-bit values, options and check boxes 16-bit ones; a value beyond the range
    // is clamped as the slider would; setting the value a slider has runs no handler.
    for (const Handler &h : std::vector<Handler>{
             {Control::Rc, 200, &FractalVars::RedCorr, B32(0)}, {Control::Rc, 0, &FractalVars::RedCorr, B32(200)},
             {Control::Gc, 150, &FractalVars::GreenCorr, B32(50)}, {Control::Bc, 1, &FractalVars::BlueCorr, B32(199)},
             {Control::KFS, 0, &FractalVars::Coef, B32(10)}, {Control::KFS, 7, &FractalVars::Coef, B32(3)},
             {Control::Slider1, 40, &FractalVars::CenterY, B32(4000)}, {Control::Slider2, 10, &FractalVars::CenterX, B32(1000)},
             {Control::Slider3, 0, &FractalVars::SizeFactor, B32(0)}, {Control::MM, 10, &FractalVars::Axes, B32(10)},
             {Control::Slider3, 99, &FractalVars::SizeFactor, B32(60)}, {Control::Rc, -5, &FractalVars::RedCorr, B32(200)},
             {Control::Rc, 175, &FractalVars::RedCorr, B16(25)}, {Control::Option1, 1, &FractalVars::Detail, B16(100)},
             {Control::Option3, 1, &FractalVars::Detail, B16(20)}, {Control::Option4, 1, &FractalVars::Detail, B16(10)},
             {Control::KUB, 1, &FractalVars::Cube, B16(1)}, {Control::MUA, 1, &FractalVars::UseMoivre, B16(1)}}) {
        Model fresh;
        fresh.startUp();
        fresh.fractal.setValue(h.control, h.value);
        EXPECT_EQ(fresh.fractal.vars.*h.variable, h.expected) << spec(h.control).name << " " << h.value;
    }
}

TEST(FractalPanel, CaptionsMarkerMmQwaAndOptions)
{
    Model m;
    m.startUp();
    FractalPanel &p = m.fractal;
    p.setValue(Control::MM, 10);
    p.setValue(Control::Slider3, 0);
    EXPECT_EQ(std::make_pair(p.label2Caption(), p.frame1Caption()), std::make_pair(QStringLiteral("Оси  10"), QStringLiteral("Размер  0")));
    m.marker.Visible = false;
    p.setValue(Control::Slider3, 10); // does not show the marker; the centre sliders do, and place it
    EXPECT_FALSE(m.marker.Visible);
    p.setValue(Control::Slider2, 10);
    EXPECT_EQ(std::make_pair(m.marker.Visible, m.marker.Left), std::make_pair(true, 940));
    m.marker.Visible = false;
    p.setValue(Control::Slider1, 40);
    EXPECT_EQ(std::make_pair(m.marker.Visible, m.marker.Top), std::make_pair(true, 3940));
    p.setValue(Control::MUA, 1);
    EXPECT_TRUE(p.mmEnabled());
    p.setValue(Control::MUA, 0);
    EXPECT_FALSE(p.mmEnabled());
    p.setValue(Control::QWA, 4); // a value set by the program reaches Squarings on a click only
    EXPECT_EQ(std::make_pair(p.value(Control::QWA), p.vars.Squarings.value), std::make_pair(4, 1));
    p.clickQwa();
    EXPECT_EQ(p.vars.Squarings, B32(4));
    p.vars.Detail.set32(77); // selecting the selected option stores Detail again; options form a group
    p.setValue(Control::Option2, 1);
    EXPECT_EQ(p.vars.Detail, B16(50));
    p.setValue(Control::Option4, 1);
    EXPECT_EQ(std::make_pair(p.value(Control::Option2), p.value(Control::Option4)), std::make_pair(0, 1));
}

namespace {

struct Rule
{
    Pair pair;
    const char *text;
    int value;
    const char *rewrite; // nullptr: the text stays as it is
};

constexpr Pair L = Pair::L, Num = Pair::Num, Scal = Pair::Scal, Ampl = Pair::Ampl;

} // namespace

TEST(TextRule, GivesTheValueAndRewritesOnlyWhenTheTextDoesNotShowIt)
{
    const std::vector<Rule> rules = {
        // The wrap by max + 1 (sign of the dividend), then the lower clamp.
        {L, "3000", 3000, nullptr}, {L, "3001", 1, "1"}, {L, "3500", 499, "499"}, {L, "-5", 1, "1"}, {L, "-3006", 1, "1"},
        {Num, "0", 1, "1"}, {Num, "25", 4, "4"}, {Num, "21", 1, "1"}, {Num, "20", 20, nullptr}, {Scal, "12", 1, "1"},
        {Scal, "11", 1, "1"}, {Scal, "10", 10, nullptr},
        // Rounding half to even; a text that shows the value is left alone.
        {L, "12.5", 12, "12"}, {L, "13.5", 14, "14"}, {L, "12.49", 12, "12"}, {L, "12.0", 12, nullptr}, {Num, "0.5", 1, "1"}, {Num, "1.5", 2, "2"},
        // The amplitude shows its value less 50: 510 wraps to 9, -30 gives 20, both raised to 50.
        {Ampl, "450", 500, nullptr}, {Ampl, "0", 50, nullptr}, {Ampl, "460", 50, "0"}, {Ampl, "-30", 50, "0"}, {Ampl, "-50", 50, "0"},
        {Ampl, "449.5", 500, "450"}, {Ampl, "буквы", 50, nullptr}, {Ampl, "", 50, nullptr},
        // Reading: blanks skipped everywhere, the number read up to what cannot continue it.
        {Num, "letters", 1, "1"}, {L, "", 1, nullptr}, {L, " 700 ", 700, nullptr}, {L, "\t 7 0 0", 700, nullptr}, {L, "+8", 8, nullptr},
        {L, "- 8", 1, "1"}, {L, "12abc", 12, nullptr}, {L, "12.5abc", 12, "12"}, {L, "7,6", 7, nullptr}, {L, "1e3", 1000, nullptr},
        {L, "1E+3", 1000, nullptr}, {L, "25e-1", 2, "2"}, {L, "1e", 1, nullptr}, {L, "5e+x", 5, nullptr}, {L, ".5e3", 500, nullptr},
        {L, "5.", 5, nullptr}, {L, ".", 1, "1"}, {L, "-", 1, "1"}, {L, "0x10", 1, "1"}, {L, "&H10", 1, "1"}, {L, "٣", 1, "1"},
        // Beyond 32 bits a number counts as the nearest bound: 2147483647 mod 3001 = 1058, mod 501 = 253.
        {L, "1e12", 1058, "1058"}, {L, "4294967296", 1058, "1058"}, {L, "1e400", 1058, "1058"}, {L, "1e99999999999999999999", 1058, "1058"},
        {L, "-1e12", 1, "1"}, {L, "-1e400", 1, "1"}, {L, "1e-400", 1, "1"}, {L, "0.000e999", 1, "1"}, {L, "inf", 1, "1"},
        {L, "nan", 1, "1"}, {Ampl, "1e12", 253, "203"}, {Ampl, "-1e400", 50, "0"}, {Ampl, "inf", 50, nullptr}, {Num, "1e12", 1, "1"}};
    for (const Rule &c : rules) {
        const QString text = QString::fromUtf8(c.text);
        const QString shown = c.rewrite ? QString::fromUtf8(c.rewrite) : text;
        InterferencePanel panel; // the handler rewrites, and runs again on the rewritten text
        panel.setText(c.pair, text);
        EXPECT_EQ(std::make_pair(panel.value(c.pair), panel.text(c.pair)), std::make_pair(c.value, shown)) << spec(c.pair).textBox << " \"" << c.text << '"';
    }
}

TEST(TextRule, ReadsNumbersWhateverTheLocaleAndTheTextFollowsTheSpinnerOnRelease)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        std::setlocale(LC_ALL, "ru_RU.UTF-8"); // a decimal comma must not change the reading
    EXPECT_EQ(std::make_pair(leadingNumber(QStringLiteral("12.75")), leadingNumber(QStringLiteral("12,75"))), std::make_pair(12.75, 12.0));
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(std::vector<double>({leadingNumber(QStringLiteral("  -3.25e2xyz")), leadingNumber(QStringLiteral("-1e400")), leadingNumber(QStringLiteral("1e-400"))}),
              std::vector<double>({-325, -std::numeric_limits<double>::infinity(), 0}));

    Model m;
    m.startUp();
    InterferencePanel &p = m.interference;
    EXPECT_EQ(std::vector<int>({p.value(Ampl), p.value(Scal), p.value(Num), p.value(L)}), std::vector<int>({100, 7, 7, 700}));
    EXPECT_EQ(QStringList({p.text(Ampl), p.text(Scal), p.text(Num), p.text(L)}), QStringList({"50", "7", "7", "700"}));
    EXPECT_EQ(std::make_pair(textBoxNamed("lt"), textBoxNamed("l")), std::make_pair(std::optional(L), std::optional<Pair>()));
    p.setSpinner(L, 710);
    EXPECT_EQ(p.text(L), QStringLiteral("700"));
    p.released(L);
    EXPECT_EQ(std::make_pair(p.text(L), p.value(L)), std::make_pair(QStringLiteral("710"), 710));
    p.setSpinner(Ampl, 600); // clamped to the range
    p.released(Ampl);
    EXPECT_EQ(std::make_pair(p.text(Ampl), p.value(Ampl)), std::make_pair(QStringLiteral("450"), 500));
    p.setText(Scal, QStringLiteral(" 5 ")); // a blank-led text, as a loaded file writes it, until a release
    EXPECT_EQ(p.text(Scal), QStringLiteral(" 5 "));
    p.released(Scal);
    EXPECT_EQ(p.text(Scal), QStringLiteral("5"));
    p.setText(Ampl, QString()); // an empty text stays empty until a release
    p.released(Ampl);
    EXPECT_EQ(std::make_pair(p.text(Ampl), p.value(Ampl)), std::make_pair(QStringLiteral("0"), 50));
}
