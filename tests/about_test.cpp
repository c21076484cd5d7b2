// The About box as the user meets it: texts, keys, the system-information button, the message,
// and showing it from inside a running drawing.

#include "about/about.h"
#include "app/model.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace divograf;

namespace {

// Answers the first key with `program` while it is set; a registry without either key otherwise.
// Records what it is asked to start.
class OneProgram : public SystemServices
{
public:
    long openKey(std::uint32_t, const QByteArray &subKey, std::uint32_t, KeyHandle &key) override
    {
        key = !program.isEmpty() && subKey == sysinfo::ProgramKey.toLatin1() ? 1 : 0;
        return key ? sysinfo::Success : sysinfo::FileNotFound;
    }
    long queryValue(KeyHandle, const QByteArray &, std::uint32_t &type, QByteArray &data, std::uint32_t &size) override
    {
        const QByteArray value = program.toLocal8Bit();
        std::copy(value.begin(), value.end(), data.begin());
        type = sysinfo::TypeString;
        size = static_cast<std::uint32_t>(value.size());
        return sysinfo::Success;
    }
    long closeKey(KeyHandle) override { return sysinfo::Success; }
    bool fileExists(const QString &) override { return false; }
    bool start(const QString &path) override
    {
        started.push_back(path);
        return true;
    }

    QString program;
    std::vector<QString> started;
};

// Calls `action` from the event loop once a window other than `current` is the active modal
// widget: the way to act inside a modal loop that the test itself entered.
void whenModal(std::function<void(QWidget *)> action, QWidget *current = nullptr)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, action, current] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == current || !modal->isActiveWindow())
            return;
        poll->stop();
        poll->deleteLater();
        action(modal);
    });
    poll->start();
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(static_cast<QWidget *>(nullptr), key, modifiers); // to the focus widget
}

template <typename T>
T *child(QWidget *about, const char *name)
{
    return about->findChild<T *>(QString::fromLatin1(name));
}

QIcon solid(QColor colour)
{
    QPixmap p(32, 32);
    p.fill(colour);
    return QIcon(p);
}

QRgb iconCentre(QWidget *about)
{
    return child<QLabel>(about, "picIcon")->pixmap().toImage().pixel(16, 16);
}

} // namespace

TEST(About, ShowsTheProgramAndItsVersionInAFixedBoxOfDesignedControls)
{
    OneProgram services;
    About about(nullptr, solid(Qt::red), services);
    about.show();

    EXPECT_EQ(about.windowTitle(), QStringLiteral("О Дивограф"));
    EXPECT_EQ(child<QLabel>(&about, "lblTitle")->text(), QStringLiteral("Дивограф"));
    EXPECT_EQ(child<QLabel>(&about, "lblTitle")->font().pointSize(), 12);
    EXPECT_EQ(child<QLabel>(&about, "lblVersion")->text(), QStringLiteral("Версия 2.0.0"));
    EXPECT_EQ(child<QPushButton>(&about, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
    EXPECT_EQ(child<QPushButton>(&about, "cmdOK")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(child<QPushButton>(&about, "cmdOK")->isDefault());

    EXPECT_EQ(about.size(), QSize(221, 110));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_FALSE(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    const std::vector<std::pair<const char *, QRect>> controls = {
        {"cmdOK", {128, 80, 84, 23}},   {"picIcon", {8, 8, 36, 36}},     {"cmdSysInfo", {8, 80, 83, 23}},
        {"lblTitle", {86, 16, 123, 32}}, {"lblVersion", {86, 52, 123, 15}},
    };
    // The focus chain follows the tab order; the buttons are its stops.
    QWidget *w = &about;
    for (const auto &[name, rect] : controls) {
        w = w->nextInFocusChain();
        EXPECT_EQ(w->objectName(), QString::fromLatin1(name));
        EXPECT_EQ(w->geometry(), rect) << name;
    }
    EXPECT_EQ(iconCentre(&about), qRgb(255, 0, 0));

    // Each caption fits its button with a few pixels to spare on either side.
    for (const char *name : {"cmdOK", "cmdSysInfo"}) {
        const auto *button = child<QPushButton>(&about, name);
        const int text = button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&')));
        EXPECT_LE(text + 2 * 3, button->width()) << name;
    }
}

TEST(About, TabMovesBetweenTheTwoButtonsStartingAtOk)
{
    OneProgram services;
    std::vector<QString> focus;
    whenModal([&](QWidget *about) {
        for (int i = 0; i < 3; ++i) {
            focus.push_back(QApplication::focusWidget()->objectName());
            pressKey(Qt::Key_Tab);
        }
        about->close();
    });
    showAbout(nullptr, solid(Qt::red), services);
    EXPECT_EQ(focus, (std::vector<QString>{"cmdOK", "cmdSysInfo", "cmdOK"}));
}

class AboutClosesOnKey : public testing::TestWithParam<Qt::Key>
{
};

TEST_P(AboutClosesOnKey, AndShowAboutReturns)
{
    OneProgram services;
    services.program = QStringLiteral("/usr/bin/sysinfo");
    bool closedByKey = false;
    whenModal([&](QWidget *about) {
        pressKey(GetParam());
        closedByKey = !about->isVisible();
        if (!closedByKey)
            about->close();
    });
    showAbout(nullptr, solid(Qt::red), services);
    EXPECT_TRUE(closedByKey);
    EXPECT_TRUE(services.started.empty());
}

INSTANTIATE_TEST_SUITE_P(EnterAndEsc, AboutClosesOnKey, testing::Values(Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape));

TEST(About, AltSStartsTheProgramAndTheBoxStaysOpen)
{
    OneProgram services;
    services.program = QStringLiteral("/usr/bin/hardinfo");
    bool openAfter = false;
    bool messageShown = false;
    whenModal([&](QWidget *about) {
        pressKey(Qt::Key_S, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !services.started.empty(); }, 5000));
        messageShown = QApplication::activeModalWidget() != about;
        openAfter = about->isVisible();
        about->close();
    });
    showAbout(nullptr, solid(Qt::red), services);
    EXPECT_EQ(services.started, std::vector<QString>{services.program});
    EXPECT_FALSE(messageShown);
    EXPECT_TRUE(openAfter);
}

TEST(About, NothingFoundShowsTheMessageAndTheBoxStaysUsable)
{
    OneProgram services;
    QString text, title;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::Critical;
    bool openAfter = false;
    whenModal([&](QWidget *about) {
        whenModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            ASSERT_NE(box, nullptr);
            text = box->text();
            title = box->windowTitle();
            buttons = box->standardButtons();
            icon = box->icon();
            pressKey(Qt::Key_Return);
        }, about);
        child<QPushButton>(about, "cmdSysInfo")->click(); // returns when the message is closed
        openAfter = about->isVisible() && QApplication::activeModalWidget() == about;
        services.program = QStringLiteral("/usr/bin/kinfocenter"); // usable: a second try starts it
        child<QPushButton>(about, "cmdSysInfo")->click();
        about->close();
    });
    showAbout(nullptr, solid(Qt::red), services);
    EXPECT_EQ(text, QStringLiteral("System Information Is Unavailable At This Time"));
    EXPECT_EQ(title, QStringLiteral("Дивограф"));
    EXPECT_EQ(buttons, QMessageBox::Ok);
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_TRUE(openAfter);
    EXPECT_EQ(services.started, std::vector<QString>{QStringLiteral("/usr/bin/kinfocenter")});
}

TEST(About, IsCentredOnItsOwnerAndStaysOnItsScreen)
{
    OneProgram services;
    QWidget owner;
    owner.show();
    const QRect screen = owner.screen()->availableGeometry();
    const std::vector<QRect> owners = {
        {200, 150, 645, 421},
        {screen.left() - 500, screen.top() - 350, 645, 421},
        {screen.right() - 200, screen.bottom() - 100, 645, 421},
    };
    for (const QRect &placed : owners) {
        owner.setGeometry(placed);
        QRect about;
        QPoint frameOffset;
        whenModal([&](QWidget *box) {
            about = box->geometry();
            frameOffset = box->frameGeometry().center() - owner.frameGeometry().center();
            box->close();
        });
        showAbout(&owner, solid(Qt::red), services);
        EXPECT_EQ(about.size(), QSize(221, 110));
        EXPECT_TRUE(screen.contains(about)) << about.x() << "," << about.y();
        if (placed.left() == 200) {
            EXPECT_EQ(about.topLeft(), QPoint(412, 306));
            EXPECT_EQ(frameOffset, QPoint(0, 0));
        }
    }
}

TEST(About, ShowsThePictureGivenElseTheOwnersElseTheFractal)
{
    OneProgram services;
    QWidget owner;
    owner.show();
    struct Row
    {
        QIcon given;
        QIcon ownerIcon;
        QRgb centre;
    };
    const QImage fractal = fractalIcon().pixmap(32, 32).toImage();
    const std::vector<Row> rows = {
        {solid(Qt::blue), solid(Qt::red), qRgb(0, 0, 255)},
        {QIcon(), solid(Qt::red), qRgb(255, 0, 0)},
        {QIcon(), QIcon(), fractal.pixel(16, 16)},
    };
    for (const Row &row : rows) {
        owner.setWindowIcon(row.ownerIcon);
        QRgb centre = 0;
        whenModal([&](QWidget *about) {
            centre = iconCentre(about);
            about->close();
        });
        showAbout(&owner, row.given, services);
        EXPECT_EQ(centre, row.centre);
    }
    EXPECT_NE(fractal.pixel(16, 16), fractal.pixel(0, 0)); // a picture, not a plain square
}

TEST(About, HelpDuringADrawingHoldsItInItsYieldUntilClosed)
{
    OneProgram services;
    QWidget owner;
    owner.show();
    Model model;
    model.startUp();
    model.fractal.setValue(Control::Option1, 1); // Detail 100: 50 x 50 cells
    int elements = 0;
    int elementsWhileOpen = -1;
    model.run.yield = [&] {
        ++elements;
        if (elements == 100) {
            whenModal([&](QWidget *) {
                QTest::qWait(20); // the drawing below must not move meanwhile
                elementsWhileOpen = elements;
                pressKey(Qt::Key_Escape);
            });
            showAbout(&owner, solid(Qt::red), services);
        }
    };
    model.startStop(Drawing::Fractal);
    EXPECT_EQ(elementsWhileOpen, 100);
    EXPECT_EQ(elements, 50 * 50);
    EXPECT_FALSE(model.run.Running);
    EXPECT_EQ(model.run.status.caption(), QStringLiteral("Дивограф"));
}

TEST(About, OwnerDestroyedWhileTheBoxIsOpen)
{
    OneProgram services;
    auto *owner = new QWidget;
    owner->show();
    whenModal([&](QWidget *) { delete owner; });
    showAbout(owner, solid(Qt::red), services); // returns, and deletes nothing twice
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(About, OwnerDestroyedWhileTheMessageIsUp)
{
    OneProgram services;
    auto *owner = new QWidget;
    owner->show();
    whenModal([&](QWidget *about) {
        whenModal([&](QWidget *) { delete owner; }, about);
        child<QPushButton>(about, "cmdSysInfo")->click();
    });
    showAbout(owner, solid(Qt::red), services);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
