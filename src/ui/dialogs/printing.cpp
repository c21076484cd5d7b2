#include "ui/dialogs/printing.h"

#include "ui/twips.h"

#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

namespace divograf {

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
    p.drawRect(6, 2, 11, 8);   // paper going in
    p.setBrush(QColor(160, 160, 160));
    p.drawRect(2, 9, 19, 8);   // the body
    p.setBrush(Qt::white);
    p.drawRect(6, 14, 11, 8);  // paper coming out
    p.setPen(QColor(0, 160, 0));
    p.drawPoint(18, 11);
    return QIcon(pixmap);
}

} // namespace

std::optional<Failure> printOnDefaultPrinter(const QImage &clientArea)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return Failure{QStringLiteral("Принтер по умолчанию не найден. Ничего не напечатано.")};
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Дивограф"));
    QPainter painter;
    if (!painter.begin(&printer))
        return Failure{QStringLiteral("Не удалось начать печать на принтере «%1».").arg(info.printerName())};
    const double scale = printer.resolution() / ScreenDotsPerInch;
    painter.scale(scale, scale);
    painter.drawImage(0, 0, clientArea);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return Failure{QStringLiteral("Печать на принтере «%1» не удалась.").arg(info.printerName())};
    return std::nullopt;
}

Printing::Printing(const QImage &picture, const QString &title, PagePrinter printer, QWidget *owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , picture_(picture)
    , printer_(std::move(printer))
    , prints_(new QPushButton(printerIcon(), QStringLiteral("Печатать"), this))
    , cancel_(new QPushButton(QStringLiteral("Отмена"), this))
{
    setFixedSize(pixels(4905), pixels(4920));
    prints_->setGeometry(pixels(Twips{3720, 4140, 1095, 735}));
    cancel_->setGeometry(pixels(Twips{120, 4500, 3495, 375}));
    prints_->setDefault(true);
    cancel_->setAutoDefault(false);
    connect(prints_, &QPushButton::clicked, this, &Printing::print);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    // Opening: both buttons visible, the chooser's last path as the title, the picture behind.
    prints_->setVisible(true);
    cancel_->setVisible(true);
    setWindowTitle(title);
    if (owner)
        move(owner->frameGeometry().center() - rect().center());
}

void Printing::showPicture(const QImage &picture, const QString &title, QWidget *owner, PagePrinter printer)
{
    QPointer<Printing> window = new Printing(picture, title, std::move(printer), owner);
    window->exec();
    delete window;
}

void Printing::paintEvent(QPaintEvent *)
{
    QPainter(this).drawImage(0, 0, picture_);
}

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
        QMessageBox::warning(this, QStringLiteral("Дивограф"), failure->message);
    accept();
}

} // namespace divograf
