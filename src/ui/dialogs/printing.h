// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/files/failure.h"

#include <QDialog>
#include <QImage>

#include <functional>

class QPushButton;

namespace divograf {

// Prints a page holding `clientArea`, or says why nothing (or not everything) was printed.
using PagePrinter = std::function<std::optional<Failure>(const QImage &clientArea)>;

// The default printer: the window's pixels at their on-screen size (96 per inch) on one page.
std::optional<Failure> printOnDefaultPrinter(const QImage &clientArea);

// `Printing`: the picture at its natural size as the window's background, `Prints` to print
// the window's client area without the buttons, `Cancel` or a click on the picture to close.
class Printing : public QDialog
{
    Q_OBJECT
public:
    Printing(const QImage &picture, const QString &title, PagePrinter printer, QWidget *owner);

    // Builds the window, shows it modally and returns when it has closed.
    static void showPicture(const QImage &picture, const QString &title, QWidget *owner,
        PagePrinter printer = printOnDefaultPrinter);

    QPushButton *printButton() const { return prints_; }
    QPushButton *cancelButton() const { return cancel_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void print();

    QImage picture_;
    PagePrinter printer_;
    QPushButton *prints_;
    QPushButton *cancel_;
};

} // namespace divograf
