// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/surface/surface.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace divograf {

// The width of a variable's last assignment. The numbers are the type tags of the parameter
// file: 2 for a 16-bit, 3 for a 32-bit integer.
enum class Width : std::uint16_t { Bits16 = 2, Bits32 = 3 };

// An integer that remembers the width with which it was last assigned.
struct StoredInt
{
    std::int32_t value = 0;
    Width width = Width::Bits16;

    void set16(std::int32_t v)
    {
        value = static_cast<std::int16_t>(v);
        width = Width::Bits16;
    }
    void set32(std::int32_t v)
    {
        value = v;
        width = Width::Bits32;
    }
    bool operator==(const StoredInt &) const = default;
};

// The twelve fractal parameters, as the panel's handlers last assigned them.
struct FractalVars
{
    StoredInt CenterX, CenterY; // plane origin on the surface, 1000..4000 units
    StoredInt SizeFactor;       // zoom 0..60: one plane unit spans 100 * SizeFactor + 100 units
    StoredInt Detail;           // cell side: 100, 50, 20 or 10 units
    StoredInt RedCorr, GreenCorr, BlueCorr; // colour multipliers 0..200
    StoredInt Coef;                         // cross-term factor 2..10
    StoredInt Squarings;                    // 0..5 (the copy of QWA that the parameter file keeps)
    StoredInt Cube, UseMoivre;              // 0 or 1 (copies of KUB and MUA)
    StoredInt Axes;                         // 3..10 (copy of MM)
};

// The integer-valued controls of the fractal panel and the general parameters.
enum class Control {
    Slider1,
    Slider2,
    Slider3,
    Rc,
    Gc,
    Bc,
    KFS,
    QWA,
    MM, // sliders
    KUB,
    MUA,
    Box, // check boxes
    Option1,
    Option2,
    Option3,
    Option4, // detail options
    Count
};

enum class ControlKind { Slider, CheckBox, Option };

struct ControlSpec
{
    Control id;
    std::string_view name;
    ControlKind kind;
    int min, max, design;
};

inline constexpr std::array<ControlSpec, static_cast<int>(Control::Count)> Controls{{
    {Control::Slider1, "Slider1", ControlKind::Slider, 10, 40, 25},
    {Control::Slider2, "Slider2", ControlKind::Slider, 10, 40, 25},
    {Control::Slider3, "Slider3", ControlKind::Slider, 0, 60, 30},
    {Control::Rc, "Rc", ControlKind::Slider, 0, 200, 175},
    {Control::Gc, "Gc", ControlKind::Slider, 0, 200, 176},
    {Control::Bc, "Bc", ControlKind::Slider, 0, 200, 177},
    {Control::KFS, "KFS", ControlKind::Slider, 0, 8, 8},
    {Control::QWA, "QWA", ControlKind::Slider, 0, 5, 1},
    {Control::MM, "MM", ControlKind::Slider, 3, 10, 7},
    {Control::KUB, "KUB", ControlKind::CheckBox, 0, 1, 0},
    {Control::MUA, "MUA", ControlKind::CheckBox, 0, 1, 0},
    {Control::Box, "Box", ControlKind::CheckBox, 0, 1, 0},
    {Control::Option1, "Option1", ControlKind::Option, 0, 1, 0},
    {Control::Option2, "Option2", ControlKind::Option, 0, 1, 1},
    {Control::Option3, "Option3", ControlKind::Option, 0, 1, 0},
    {Control::Option4, "Option4", ControlKind::Option, 0, 1, 0},
}};

inline constexpr const ControlSpec &spec(Control c) { return Controls[static_cast<int>(c)]; }
std::optional<Control> controlNamed(std::string_view name);

// The fractal panel without its widgets: the control values (which `Render` partly reads
// directly), the parameter variables, the captions that follow MM and Slider3, and the
// handlers that tie them together. A window mirrors this model; the renderer drives it alone.
class FractalPanel
{
public:
    explicit FractalPanel(Marker &marker);

    // The start-up defaults: variables, copies of QWA, KUB, MUA and MM, MM disabled, Box ticked.
    void startupDefaults();

    int value(Control c) const { return values_[static_cast<int>(c)]; }

    // A change of the control's value, clamped to its range as the control would. A slider
    // other than QWA and a check box run their handler when the value changed; QWA runs none
    // (see `clickQwa`). An option is selected, as a click selects it, and runs its handler also
    // when it was selected already; options are chosen, never unchosen, so `v` does not matter.
    void setValue(Control c, int v);

    // A value chosen on QWA by the user (a mouse click, a key, the wheel): Squarings takes it.
    void clickQwa();

    bool mmEnabled() const { return mmEnabled_; }
    const QString &label2Caption() const { return label2_; }
    const QString &frame1Caption() const { return frame1_; }

    FractalVars vars;

private:
    void changed(Control c);

    Marker &marker_;
    std::array<int, static_cast<int>(Control::Count)> values_{};
    bool mmEnabled_ = true;
    QString label2_ = QStringLiteral("Оси 7");
    QString frame1_ = QStringLiteral("Размер 30");
};

} // namespace divograf
