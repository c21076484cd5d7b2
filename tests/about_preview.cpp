// about-preview: shows the About box over an empty owner window, to look at it on a display.
// Ends when the box is closed.

#include "about/about.h"
#include "surface/status.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget owner;
    owner.setWindowTitle(divograf::ProgramName);
    owner.setFixedSize(645, 421);
    owner.show();
    // Shown a moment later, once a window manager has placed the owner, as a user's click would be.
    QTimer::singleShot(500, &owner, [&] {
        divograf::showAbout(&owner);
        app.quit();
    });
    return app.exec();
}
