// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/interference/panel.h"

#include "core/surface/colour.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

namespace divograf {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
        || c == QLatin1Char('\r');
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Walks a text and hands out its characters with the blanks skipped.
class Reader
{
public:
    explicit Reader(const QString &text)
        : text_(text)
    {
    }
    QChar peek()
    {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : QChar();
    }
    void next() { ++pos_; }
    qsizetype pos() const { return pos_; }
    void rewind(qsizetype to) { pos_ = to; }

private:
    const QString &text_;
    qsizetype pos_ = 0;
};

// Past this an exponent's digits no longer matter: the number is 0 or infinite either way.
constexpr long ExponentLimit = 100000;

} // namespace

std::optional<Pair> textBoxNamed(std::string_view name)
{
    for (const PairSpec &s : Pairs)
        if (s.textBox == name)
            return s.id;
    return std::nullopt;
}

double leadingNumber(const QString &text)
{
    Reader in(text);
    bool negative = false;
    if (in.peek() == QLatin1Char('+') || in.peek() == QLatin1Char('-')) {
        negative = in.peek() == QLatin1Char('-');
        in.next();
    }
    std::string integer, fraction;
    while (isDigit(in.peek())) {
        integer += static_cast<char>(in.peek().unicode());
        in.next();
    }
    if (in.peek() == QLatin1Char('.')) {
        in.next();
        while (isDigit(in.peek())) {
            fraction += static_cast<char>(in.peek().unicode());
            in.next();
        }
    }
    if (integer.empty() && fraction.empty())
        return 0;

    // The exponent counts only when at least one digit follows the e and its sign.
    long exponent = 0;
    if (in.peek() == QLatin1Char('e') || in.peek() == QLatin1Char('E')) {
        const qsizetype before = in.pos();
        in.next();
        bool negativeExponent = false;
        if (in.peek() == QLatin1Char('+') || in.peek() == QLatin1Char('-')) {
            negativeExponent = in.peek() == QLatin1Char('-');
            in.next();
        }
        if (!isDigit(in.peek())) {
            in.rewind(before);
        } else {
            while (isDigit(in.peek())) {
                exponent = std::min(exponent * 10 + (in.peek().unicode() - '0'), ExponentLimit);
                in.next();
            }
            if (negativeExponent)
                exponent = -exponent;
        }
    }

    const std::string digits = (integer.empty() ? std::string("0") : integer)
        + (fraction.empty() ? std::string() : "." + fraction) + "e" + std::to_string(exponent);
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: decide by the decimal magnitude.
        const auto significant = integer.find_first_not_of('0');
        long magnitude = exponent;
        if (significant != std::string::npos)
            magnitude += static_cast<long>(integer.size() - significant);
        else
            magnitude -= static_cast<long>(fraction.find_first_not_of('0'));
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

TextOutcome applyTextRule(const PairSpec &pair, const QString &text)
{
    const double t = leadingNumber(text) + pair.textOffset;
    // Widened so that the wrap of the lowest 32-bit value cannot overflow.
    long long v = roundHalfEven(t);
    v = v % (static_cast<long long>(pair.max) + 1);
    if (v < pair.min)
        v = pair.min;
    TextOutcome outcome{static_cast<int>(v), std::nullopt};
    if (t != static_cast<double>(v) && !text.isEmpty())
        outcome.rewrite = QString::number(v - pair.textOffset);
    return outcome;
}

InterferencePanel::InterferencePanel()
{
    for (const PairSpec &s : Pairs) {
        values_[static_cast<int>(s.id)] = s.designValue;
        texts_[static_cast<int>(s.id)] = QStringLiteral("1");
    }
}

void InterferencePanel::startUp()
{
    for (Pair p : StartUpOrder) {
        const std::string_view start = spec(p).startText;
        setText(p, QString::fromLatin1(start.data(), static_cast<qsizetype>(start.size())));
    }
}

void InterferencePanel::setText(Pair p, const QString &text)
{
    texts_[static_cast<int>(p)] = text;
    textChanged(p);
}

void InterferencePanel::released(Pair p)
{
    setText(p, QString::number(value(p) - spec(p).textOffset));
}

void InterferencePanel::setSpinner(Pair p, int v)
{
    values_[static_cast<int>(p)] = std::clamp(v, spec(p).min, spec(p).max);
}

void InterferencePanel::textChanged(Pair p)
{
    const TextOutcome outcome = applyTextRule(spec(p), text(p));
    // Writing the text runs this handler once more; that run finds the value shown and only
    // sets the spinner.
    if (outcome.rewrite)
        setText(p, *outcome.rewrite);
    values_[static_cast<int>(p)] = outcome.value;
}

} // namespace divograf
