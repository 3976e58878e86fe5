// The about box: the program's name and who made it.
#include "app/about.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace {

QLabel *NavyLabel(QWidget *parent, const QString &text, QRect geometry, int pixelSize, bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(geometry);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
    label->setPalette(pal);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("О программе..."));
    setFixedSize(298, 303);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(215, 215, 215));
    setPalette(pal);
    setAutoFillBackground(true);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(8, 8, 281, 265);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    // The strip across the top holds no picture.
    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setGeometry(2, 2, 277, 96);

    ProductName = NavyLabel(Panel1, QStringLiteral("Сеткарий v 1.0"), QRect(38, 104, 205, 46), 19, true);
    Credits = NavyLabel(Panel1,
                        QStringLiteral("Японские кроссворды\nдля всех, кто любит\nдумать картинками.\n"
                                       "Команда «Сеткарий»"),
                        QRect(49, 160, 183, 76), 16, false);
    Credits->setWordWrap(false);
    Label1 = NavyLabel(Panel1, QStringLiteral("info@setkariy.test"), QRect(54, 240, 173, 19), 16, true);

    bClose = new QPushButton(QIcon(QStringLiteral(":/icons/close-box.svg")), QStringLiteral("Закрыть"), this);
    bClose->setGeometry(77, 280, 142, 22);
    connect(bClose, &QPushButton::clicked, this, &TAboutBox::bCloseClick);
}

void TAboutBox::bCloseClick()
{
    accept();
}

void TAboutBox::setVisible(bool visible)
{
    if (visible && !isVisible())
        CentreOnFrame();
    QDialog::setVisible(visible);
}

bool TAboutBox::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    // The window manager frames the box as it maps it; a frame other than the guessed one moves
    // the box once more, before the player can take hold of it.
    if (FrameGuessed && (event->type() == QEvent::Show || event->type() == QEvent::Move) && windowHandle()) {
        const QMargins real = windowHandle()->frameMargins();
        if (!real.isNull()) {
            FrameGuessed = false;
            OwnMargins = real;
            if (real != GuessedMargins)
                CentreOnFrame();
        }
    }
    return handled;
}

void TAboutBox::CentreOnFrame()
{
    const QWidget *frame = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (frame && frame->isVisible())
        area = frame->frameGeometry();
    else if (const QScreen *where = screen())
        area = where->availableGeometry();
    else
        return;
    // The box's own frame is known once it has been framed (a hidden box may have lost it).
    // Before that, the main window's frame stands in: the same window manager frames both,
    // while the toolkit's own guess is far off under a maximized main window.
    QMargins margins = OwnMargins;
    FrameGuessed = margins.isNull();
    if (FrameGuessed && frame && frame->windowHandle())
        margins = frame->windowHandle()->frameMargins();
    GuessedMargins = margins;
    const QSize outer = size().grownBy(margins);
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}
