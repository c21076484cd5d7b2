// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

#include <array>
#include <optional>
#include <string_view>

namespace divograf {

// The four interference parameters, each a spinner that holds the value and a text box beside
// it in which the user may type one.
enum class Pair { Ampl, Scal, Num, L, Count };

struct PairSpec
{
    Pair id;
    std::string_view spinner; // the spinner's name
    std::string_view textBox; // the text box's name: the spinner's with the suffix t
    std::string_view label;   // UTF-8
    int min, max, increment;
    int textOffset;             // the text shows the value less this
    int designValue;            // the spinner's value before start-up
    std::string_view startText; // written into the text box by the start-up sequence
};

inline constexpr std::array<PairSpec, static_cast<int>(Pair::Count)> Pairs{{
    {Pair::Ampl, "ampl", "amplt", "Амплитуда", 50, 500, 10, 50, 100, "50"},
    {Pair::Scal, "scal", "scalt", "Масштаб", 1, 10, 1, 0, 1, "7"},
    {Pair::Num, "num", "numt", "Кол-во. отв", 1, 20, 1, 0, 1, "7"},
    {Pair::L, "l", "lt", "Дистанция", 1, 3000, 10, 0, 1, "700"},
}};

// The order in which the start-up sequence writes the texts.
inline constexpr std::array<Pair, static_cast<int>(Pair::Count)> StartUpOrder{
    Pair::Num, Pair::L, Pair::Scal, Pair::Ampl};

inline constexpr const PairSpec &spec(Pair p) { return Pairs[static_cast<int>(p)]; }
std::optional<Pair> textBoxNamed(std::string_view name);

// The leading number of a text, as the platform reads a number out of text: blanks (spaces,
// tabs, line breaks) are skipped wherever they stand; an optional sign, digits with an optional
// decimal point and an optional exponent (e or E) are read up to the first character that
// cannot continue the number. A text without a leading number reads as 0. Independent of the
// locale; no hexadecimal or octal prefixes, no thousands separators. A number too large for a
// double reads as an infinity, one too small as 0.
double leadingNumber(const QString &text);

// What the text-changed handler makes of a text: the spinner value, and the text to write back
// when the text does not show that value.
struct TextOutcome
{
    int value;
    std::optional<QString> rewrite;
};

// The text rule of a pair: the leading number, plus the offset of the amplitude, rounded half
// to even to a 32-bit integer (a number beyond that range counts as its nearest bound), wrapped
// by mod (max + 1) with the sign of the dividend, and raised to the minimum when below it. The
// text is rewritten, as the plain digits of the value less the offset, when the number read
// differs from the value and the text is not empty.
TextOutcome applyTextRule(const PairSpec &pair, const QString &text);

// The interference pairs without their widgets: the spinner values, the texts and the two
// handlers of each pair. A window mirrors this model; the renderer drives it alone.
class InterferencePanel
{
public:
    InterferencePanel();

    // The start-up texts "7", "700", "7", "50" into numt, lt, scalt and amplt, in that order.
    void startUp();

    int value(Pair p) const { return values_[static_cast<int>(p)]; }
    const QString &text(Pair p) const { return texts_[static_cast<int>(p)]; }

    // A change of the text, by typing or by the program: runs the text-changed handler, which
    // sets the spinner and may rewrite the text (and so runs once more).
    void setText(Pair p, const QString &text);

    // A mouse button released over the spinner: the text shows the spinner value.
    void released(Pair p);

    // The spinner moved to `v` by its own arrows or keys, clamped to min..max. The text follows
    // only on `released`.
    void setSpinner(Pair p, int v);

private:
    void textChanged(Pair p);

    std::array<int, static_cast<int>(Pair::Count)> values_{};
    std::array<QString, static_cast<int>(Pair::Count)> texts_;
};

} // namespace divograf
