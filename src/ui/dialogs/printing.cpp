// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/dialogs/printing.h"

#include "core/surface/status.h"
#include "ui/dialogs/layout.h"
#include "ui/dialogs/modal.h"

#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStyleOption>

namespace divograf {

using namespace layout;

namespace {

constexpr double ScreenDotsPerInch = 96;

// A small printer for the print button.
QIcon printerIcon()
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(6, 2, 11, 8); // paper going in
    p.setBrush(QColor(160, 160, 160));
    p.drawRect(2, 9, 19, 8); // the body
    p.setBrush(Qt::white);
    p.drawRect(6, 14, 11, 8); // paper coming out
    p.setPen(QColor(0, 160, 0));
    p.drawPoint(18, 11);
    return QIcon(pixmap);
}

// A push button with its picture above its caption, both centred: the print button is too
// narrow for the two side by side.
class PictureButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        option.icon = QIcon();
        QPainter painter(this);
        style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
        const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        const int textHeight = fontMetrics().height();
        const QSize iconSize = this->iconSize();
        const int top = inside.top() + (inside.height() - iconSize.height() - textHeight) / 2;
        icon().paint(
            &painter, QRect(QPoint(inside.center().x() - iconSize.width() / 2, top), iconSize));
        style()->drawItemText(&painter,
            QRect(inside.left(), top + iconSize.height(), inside.width(), textHeight),
            Qt::AlignCenter, palette(), isEnabled(), text(), QPalette::ButtonText);
    }
};

} // namespace

std::optional<Failure> printOnDefaultPrinter(const QImage &clientArea)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return Failure{QStringLiteral("Принтер по умолчанию не найден. Ничего не напечатано.")};
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(ProgramName);
    QPainter painter;
    if (!painter.begin(&printer))
        return Failure{
            QStringLiteral("Не удалось начать печать на принтере «%1».").arg(info.printerName())};
    const double scale = printer.resolution() / ScreenDotsPerInch;
    painter.scale(scale, scale);
    painter.drawImage(0, 0, clientArea);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return Failure{
            QStringLiteral("Печать на принтере «%1» не удалась.").arg(info.printerName())};
    return std::nullopt;
}

Printing::Printing(const QImage &picture, const QString &title, PagePrinter printer, QWidget *owner)
    : QDialog(
        owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , picture_(picture)
    , printer_(std::move(printer))
    , prints_(new PictureButton(printerIcon(), QStringLiteral("Печатать"), this))
    , cancel_(new QPushButton(QStringLiteral("Отмена"), this))
{
    setFixedSize(pixels(PrintArea).size());
    place(prints_, PrintControls[Prints]);
    place(cancel_, PrintControls[Cancel]);
    prints_->setDefault(true);
    cancel_->setAutoDefault(false);
    connect(prints_, &QPushButton::clicked, this, &Printing::print);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    // Opening: both buttons visible, the chooser's last path as the title, the picture behind.
    prints_->setVisible(true);
    cancel_->setVisible(true);
    // An empty title would show the program's file name instead: a blank shows nothing.
    setWindowTitle(title.isEmpty() ? QStringLiteral(" ") : title);
    placeOver(*this, owner);
}

void Printing::showPicture(
    const QImage &picture, const QString &title, QWidget *owner, PagePrinter printer)
{
    execAndDelete(new Printing(picture, title, std::move(printer), owner));
}

void Printing::paintEvent(QPaintEvent *) { QPainter(this).drawImage(0, 0, picture_); }

void Printing::mousePressEvent(QMouseEvent *)
{
    reject(); // a click on the picture closes the window; nothing is printed
}

void Printing::print()
{
    prints_->hide();
    cancel_->hide();
    repaint();
    if (const std::optional<Failure> failure = printer_(grab().toImage()))
        QMessageBox::warning(this, ProgramName, failure->message);
    accept();
}

} // namespace divograf
