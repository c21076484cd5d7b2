// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "windowprobe.h"

#include "ui/layout.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QSlider>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <optional>
#include <thread>

namespace divograf::bench {

namespace {

using Clock = std::chrono::steady_clock;

// Long enough for the window to be mapped and painted on a display.
constexpr int SettleMs = 300;
constexpr auto ProbeInterval = std::chrono::milliseconds(1);
constexpr auto LongGap = std::chrono::milliseconds(2);
constexpr int BarePasses = 20000;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// An event stamped when it was posted.
struct Probe : QEvent
{
    static inline const QEvent::Type Kind = static_cast<QEvent::Type>(QEvent::registerEventType());
    Probe()
        : QEvent(Kind)
        , posted(Clock::now())
    {
    }
    Clock::time_point posted;
};

// Handles the probes on the user-interface thread and times the view's paints.
class Observer : public QObject
{
public:
    std::vector<double> latencies;
    std::vector<double> paintIntervals;
    int paints = 0;

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
            ++paints;
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

// Watches the passes of the event loop through the dispatcher's signals: `awake` at the start
// of every pass (and on waking from a wait for events), `aboutToBlock` before such a wait.
class PassWatch
{
public:
    PassWatch(GapClock clock, WindowDrawing &result)
        : clock_(clock)
        , result_(result)
    {
        QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
        awake_ = QObject::connect(
            dispatcher, &QAbstractEventDispatcher::awake, [this] { passStarts(); });
        asleep_ = QObject::connect(
            dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] { last_.reset(); });
    }
    ~PassWatch() { stop(); }
    void stop()
    {
        QObject::disconnect(awake_);
        QObject::disconnect(asleep_);
    }
    // From now on, as the drawing starts, until `stop`.
    void start() { last_ = now(); }
    Clock::duration maxGap() const { return maxGap_; }

private:
    Clock::duration now() const;
    void passStarts()
    {
        const Clock::duration at = now();
        ++result_.passes;
        if (last_) {
            const Clock::duration gap = at - *last_;
            maxGap_ = std::max(maxGap_, gap);
            result_.gapsOver2ms += gap > LongGap;
        }
        last_ = at;
    }

    GapClock clock_;
    WindowDrawing &result_;
    std::optional<Clock::duration> last_; // none while the loop sleeps
    Clock::duration maxGap_{};
    QMetaObject::Connection awake_, asleep_;
};

// The busy wait that makes every pass dearer.
std::chrono::nanoseconds surcharge{};
QMetaObject::Connection surchargeConnection;

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

Clock::duration PassWatch::now() const
{
    return clock_ == GapClock::ThreadCpu ? threadCpu() : Clock::now().time_since_epoch();
}

template <typename T> T *child(Main &window, std::string_view name)
{
    T *found = window.findChild<T *>(
        QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    Q_ASSERT(found);
    return found;
}

void set(Main &window, const cli::ControlSetting &s)
{
    const ControlSpec &c = spec(s.control);
    switch (c.kind) {
    case ControlKind::Slider: child<QSlider>(window, c.name)->setValue(s.value); break;
    case ControlKind::CheckBox:
        child<QAbstractButton>(window, c.name)->setChecked(s.value == 1);
        break;
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

    PassWatch watch(clock, result);

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
    watch.start();
    button->click(); // the whole drawing runs inside the click
    watch.stop();
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.cpuSeconds = std::chrono::duration<double>(threadCpu() - cpuBefore).count();
    result.preempted = involuntarySwitches() - preemptedBefore;
    posting = false;
    poster.join();

    const Clock::duration maxGap = watch.maxGap();
    field->removeEventFilter(&observer);
    // The final repaint, and the probes that the end of the drawing kept waiting.
    QCoreApplication::processEvents();

    result.maxGapMs = ms(maxGap);
    result.paints = observer.paints;
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

void setEventPassSurcharge(std::chrono::nanoseconds extra)
{
    surcharge = extra;
    QObject::disconnect(surchargeConnection);
    if (extra > std::chrono::nanoseconds::zero())
        surchargeConnection = QObject::connect(
            QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [] {
                const Clock::time_point until = Clock::now() + surcharge;
                while (Clock::now() < until) {
                }
            });
}

double bareEventPassMicroseconds()
{
    QCoreApplication::processEvents(); // nothing pending from here on
    std::vector<double> each;
    each.reserve(BarePasses);
    for (int i = 0; i < BarePasses; ++i) {
        const Clock::time_point start = Clock::now();
        QCoreApplication::processEvents();
        each.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::nth_element(each.begin(), each.begin() + BarePasses / 2, each.end());
    return each[BarePasses / 2];
}

} // namespace divograf::bench
