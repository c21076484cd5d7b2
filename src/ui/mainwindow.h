// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/fractal/viewpoint.h"
#include "core/model.h"
#include "ui/panel.h"
#include "ui/redraw.h"
#include "ui/windowyield.h"
#include "ui/dialogs/chooser.h"

#include <QImage>
#include <QMainWindow>

#include <array>

class QAction;
class QMenu;
class QProgressBar;

namespace divograf {

class SurfaceView;

// `Main`, the program's one main window: the surface with its centre sliders, the control
// panel, the progress bar and the menu. It holds the model, mirrors it in its widgets and
// forwards every control event to it; the state and the rules live in the model.
//
// Controls, actions and frames carry their program names as object names ("Command1", "Run",
// "QWA", "lt", ...), so that the features that come later find them with `findChild`.
class Main : public QMainWindow
{
    Q_OBJECT
public:
    explicit Main(QWidget *parent = nullptr);
    ~Main() override;

    Model &model() { return model_; }
    const Model &model() const { return model_; }
    WindowYield &windowYield() { return yield_; }
    const Redraw &redraw() const { return redraw_; }

    // The start/stop command of `drawing`, as its button, its menu item and its shortcut give
    // it. Runs the whole drawing before it returns; called during a drawing it runs nested.
    void startStop(Drawing drawing);

    // Ends the program at once, however deep in nested drawings it is called: no drawing goes
    // on, the event loops return, and the process exits with status 0.
    void endProgram();

    // The file and output commands. Each shows a modal window; a drawing that was running
    // waits in its yield until it has closed and then goes on.
    void saveParameters();
    void loadParameters();
    // What Load does with the path the chooser gave: checks the whole file, shows a message
    // and changes nothing when it is not a good parameter file, else applies it to the
    // controls. The command line and a file dropped onto the window open files through it.
    void openParameterFile(const QString &path);
    void saveBitmap();
    void print();
    void showHelp();

    const ChooserState &chooser() const { return chooser_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QAction *addMenuItem(QMenu *menu, const QString &name, const QString &caption, Qt::Key key);
    void buildMenu();
    void connectPanel();
    // The wheel, a drag and Ctrl+C on the surface.
    void connectSurface();
    // A gesture on the surface moved the panel: the widgets follow, and the picture if it
    // shows what moved.
    void explored(Moved moved);
    // The start/stop command itself, given by the user or by a redraw.
    void command(Drawing drawing);
    void controlChanged(Control control, int value);
    // Widgets from the model: control values, texts, captions, MM enabled, the marker.
    void showPanel();

    Model model_;
    QWidget *client_;
    SurfaceView *field_;
    QProgressBar *progress_;
    WindowYield yield_;
    PanelWidgets panel_;
    Viewpoint viewpoint_;
    Redraw redraw_;
    std::array<QAction *, std::size(DrawingCommands)>
        commands_{}; // in the order of `DrawingCommands`
    ChooserState chooser_;
    QImage PrintPicture; // the picture the last Print command took
};

} // namespace divograf
