#include "windowprobe.h"

#include "ui/layout.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QSlider>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

namespace divograf::bench {

namespace {

using Clock = std::chrono::steady_clock;

// Long enough for the window to be mapped and painted on a display.
constexpr int SettleMs = 300;
constexpr auto ProbeInterval = std::chrono::milliseconds(1);
constexpr auto LongGap = std::chrono::milliseconds(2);

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// An event stamped when it was posted.
struct Probe : QEvent
{
    static inline const QEvent::Type Kind = static_cast<QEvent::Type>(QEvent::registerEventType());
    Probe() : QEvent(Kind), posted(Clock::now()) {}
    Clock::time_point posted;
};

// Handles the probes on the user-interface thread and times the view's paints.
class Observer : public QObject
{
public:
    std::vector<double> latencies;
    std::vector<double> paintIntervals;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != Probe::Kind)
            return QObject::event(e);
        latencies.push_back(ms(Clock::now() - static_cast<Probe *>(e)->posted));
        return true;
    }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            const Clock::time_point now = Clock::now();
            if (lastPaint_ != Clock::time_point{})
                paintIntervals.push_back(ms(now - lastPaint_));
            lastPaint_ = now;
        }
        return false;
    }

private:
    Clock::time_point lastPaint_;
};

long involuntarySwitches()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nivcsw;
}

Clock::duration threadCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

template <typename T>
T *child(Main &window, std::string_view name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    Q_ASSERT(found);
    return found;
}

void set(Main &window, const cli::ControlSetting &s)
{
    const ControlSpec &c = spec(s.control);
    switch (c.kind) {
    case ControlKind::Slider: child<QSlider>(window, c.name)->setValue(s.value); break;
    case ControlKind::CheckBox: child<QAbstractButton>(window, c.name)->setChecked(s.value == 1); break;
    case ControlKind::Option:
        if (s.value == 1)
            child<QAbstractButton>(window, c.name)->click();
        break;
    }
}

} // namespace

void showSettled(Main &window)
{
    window.show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < SettleMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void configure(Main &window, const std::vector<cli::Setting> &settings)
{
    for (const cli::Setting &s : settings) {
        if (const auto *moved = std::get_if<cli::ControlSetting>(&s))
            set(window, *moved);
        else if (const auto *typed = std::get_if<cli::TextSetting>(&s))
            child<QLineEdit>(window, spec(typed->textBox).textBox)->setText(typed->text);
    }
    QCoreApplication::processEvents();
}

WindowDrawing drawInWindow(Main &window, Drawing drawing, GapClock clock)
{
    auto *button = child<QAbstractButton>(window, command(drawing).button);

    WindowDrawing result;
    Observer observer;
    QWidget *field = child<QWidget>(window, "Field");
    field->installEventFilter(&observer);

    const auto now = [clock] { return clock == GapClock::ThreadCpu ? threadCpu() : Clock::now().time_since_epoch(); };
    Clock::duration lastStep{}, maxGap{}, maxStep{};
    window.windowYield().setEventStep([&] {
        const Clock::duration start = now();
        const Clock::duration gap = start - lastStep;
        maxGap = std::max(maxGap, gap);
        result.gapsOver2ms += gap > LongGap;
        QCoreApplication::processEvents();
        lastStep = now();
        maxStep = std::max(maxStep, lastStep - start);
    });

    std::atomic<bool> posting = true;
    std::thread poster([&] {
        while (posting.load()) {
            QCoreApplication::postEvent(&observer, new Probe);
            std::this_thread::sleep_for(ProbeInterval);
        }
    });
    const long preemptedBefore = involuntarySwitches();
    const Clock::duration cpuBefore = threadCpu();
    const Clock::time_point start = Clock::now();
    lastStep = now();
    button->click(); // the whole drawing runs inside the click
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.cpuSeconds = std::chrono::duration<double>(threadCpu() - cpuBefore).count();
    result.preempted = involuntarySwitches() - preemptedBefore;
    posting = false;
    poster.join();

    window.windowYield().setEventStep([] { QCoreApplication::processEvents(); });
    field->removeEventFilter(&observer);
    // The final repaint, and the probes that the end of the drawing kept waiting.
    QCoreApplication::processEvents();

    result.maxGapMs = ms(maxGap);
    result.maxStepMs = ms(maxStep);
    result.inputMs = std::move(observer.latencies);
    result.paintIntervalsMs = std::move(observer.paintIntervals);
    return result;
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace divograf::bench
