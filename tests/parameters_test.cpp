#include "app/model.h"
#include "files/parameters.h"

#include <gtest/gtest.h>

using namespace divograf;

namespace {

struct Started
{
    Started() { m.startUp(); }
    Model m;
};

} // namespace

TEST(Parameters, SaveRightAfterStartUpTakesTheKnownRecords)
{
    Started s;
    const ParameterRecords r = takeParameters(s.m);
    const ParameterRecords expected{{{30, Width::Bits16}, {1, Width::Bits32}, {0, Width::Bits16}, {0, Width::Bits16},
                                     {7, Width::Bits32}, {2, Width::Bits16}, {25, Width::Bits16}, {24, Width::Bits16},
                                     {23, Width::Bits16}, {7, Width::Bits32}, {7, Width::Bits32}, {700, Width::Bits32},
                                     {100, Width::Bits32}}};
    EXPECT_EQ(r, expected);
    EXPECT_EQ(s.m.StoredDistance, (StoredInt{700, Width::Bits32}));
    // Save writes the variables, not the controls: a keyboard move of QWA is not in it.
    s.m.fractal.setValue(Control::QWA, 4);
    s.m.fractal.setValue(Control::Rc, 180);
    EXPECT_EQ(takeParameters(s.m)[1], (StoredInt{1, Width::Bits32}));
    EXPECT_EQ(takeParameters(s.m)[6], (StoredInt{20, Width::Bits32}));
}

TEST(Parameters, LoadSetsEveryControlThroughItsOwnHandling)
{
    Started s;
    ParameterRecords r = takeParameters(s.m);
    r[0].set16(12);      // SizeFactor
    r[1].set16(3);       // Squarings
    r[2].set32(1);       // Cube
    r[3].set16(1);       // UseMoivre: MM enabled before record 5 sets it
    r[4].set16(9);       // Axes
    r[5].set16(3);       // Coef 3: KFS at 7
    r[6].set32(25);      // RedCorr 25: Rc at 175
    r[7].set16(0);
    r[8].set16(200);
    r[9].set16(7);       // num
    r[10].set32(3);      // scal
    r[11].set32(1234);   // l
    r[12].set32(500);    // ampl, shown as 450
    applyParameters(s.m, r);
    const FractalPanel &p = s.m.fractal;
    EXPECT_EQ(p.value(Control::Slider3), 12);
    EXPECT_EQ(p.frame1Caption(), QStringLiteral("Размер  12"));
    EXPECT_EQ(p.value(Control::QWA), 3);
    EXPECT_EQ(p.vars.Squarings, (StoredInt{3, Width::Bits16})); // QWA runs no handler: the file's width stays
    EXPECT_EQ(p.value(Control::KUB), 1);
    EXPECT_TRUE(p.mmEnabled());
    EXPECT_EQ(p.value(Control::MM), 9);
    EXPECT_EQ(p.label2Caption(), QStringLiteral("Оси  9"));
    EXPECT_EQ(p.value(Control::KFS), 7);
    EXPECT_EQ(p.vars.Coef.value, 3);
    EXPECT_EQ(p.value(Control::Rc), 175);
    EXPECT_EQ(p.vars.RedCorr, (StoredInt{25, Width::Bits32})); // Rc did not move: no handler ran
    EXPECT_EQ(p.value(Control::Gc), 200);
    EXPECT_EQ(p.value(Control::Bc), 0);
    EXPECT_EQ(s.m.interference.text(Pair::Num), QStringLiteral(" 7 "));
    EXPECT_EQ(s.m.interference.value(Pair::Num), 7);
    EXPECT_EQ(s.m.interference.value(Pair::Scal), 3);
    EXPECT_EQ(s.m.interference.value(Pair::L), 1234);
    EXPECT_EQ(s.m.interference.text(Pair::Ampl), QStringLiteral(" 450 "));
    EXPECT_EQ(s.m.interference.value(Pair::Ampl), 500);
    EXPECT_EQ(s.m.StoredNum, (StoredInt{7, Width::Bits16}));
    // Records of either tag give the same control and the same value.
    Started t;
    ParameterRecords r32 = r;
    for (StoredInt &x : r32)
        x.width = Width::Bits32;
    applyParameters(t.m, r32);
    for (const ControlSpec &c : Controls)
        EXPECT_EQ(t.m.fractal.value(c.id), s.m.fractal.value(c.id)) << c.name;
}

TEST(Parameters, ValuesBeyondAControlAreBroughtWithinIt)
{
    Started s;
    ParameterRecords r = takeParameters(s.m);
    r[0].set32(1000);    // SizeFactor beyond 60
    r[4].set32(-5);      // Axes below 3
    r[5].set32(99);      // Coef beyond 10: KFS 0
    r[6].set32(-40);     // RedCorr below 0: Rc 200
    r[9].set32(25);      // num wraps as typed text does: 4
    r[12].set32(std::numeric_limits<std::int32_t>::min());
    applyParameters(s.m, r);
    const FractalVars &v = s.m.fractal.vars;
    EXPECT_EQ(v.SizeFactor.value, 60);
    EXPECT_EQ(s.m.fractal.value(Control::Slider3), 60);
    EXPECT_EQ(v.Axes.value, 3);
    EXPECT_EQ(v.Coef.value, 10);
    EXPECT_EQ(s.m.fractal.value(Control::KFS), 0);
    EXPECT_EQ(v.RedCorr.value, 0);
    EXPECT_EQ(s.m.fractal.value(Control::Rc), 200);
    EXPECT_EQ(s.m.interference.value(Pair::Num), 4);
    EXPECT_GE(s.m.interference.value(Pair::Ampl), 50);
    EXPECT_LE(s.m.interference.value(Pair::Ampl), 500);
}
