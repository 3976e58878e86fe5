// The about box: the program's name and who made it.
#include "app/about.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

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
