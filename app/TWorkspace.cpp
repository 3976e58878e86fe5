// The workspace of the main window: board windows over a picture stretched to fill it.
#include "app/TWorkspace.h"

#include <QMdiSubWindow>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

TWorkspace::TWorkspace(QWidget *parent)
    : QMdiArea(parent)
{
    setBackground(QColor(215, 215, 215));
}

void TWorkspace::SetPicture(const QImage &picture)
{
    Image1 = picture;
    Scaled = QPixmap();
    viewport()->update();
}

void TWorkspace::paintEvent(QPaintEvent *event)
{
    if (Image1.isNull()) {
        QMdiArea::paintEvent(event);
        return;
    }
    const QSize size = viewport()->size();
    if (Scaled.size() != size)
        Scaled = QPixmap::fromImage(Image1.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QPainter painter(viewport());
    painter.drawPixmap(0, 0, Scaled);
}

QList<QMdiSubWindow *> TWorkspace::Visible() const
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *sub : subWindowList(QMdiArea::CreationOrder))
        if (!sub->isMinimized() && !sub->isHidden())
            windows << sub;
    return windows;
}

void TWorkspace::Cascade()
{
    const QList<QMdiSubWindow *> windows = Visible();
    if (windows.isEmpty())
        return;
    const QRect area = viewport()->rect();
    // Every window at its restored size, as far as the workspace allows; each one a title bar
    // lower and further right than the one behind it, starting over where the next would not fit.
    const QSize size = QSize(RestoredWidth, RestoredHeight).boundedTo(area.size());
    QStyleOptionTitleBar option;
    option.initFrom(windows.first());
    const int step = std::max(8, windows.first()->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option,
                                                                       windows.first()));
    int x = 0, y = 0;
    for (QMdiSubWindow *sub : windows) {
        if (x + size.width() > area.width() || y + size.height() > area.height())
            x = y = 0;
        sub->showNormal();
        sub->setGeometry(QRect(QPoint(x, y), size));
        sub->raise();
        x += step;
        y += step;
    }
}

void TWorkspace::TileHorizontally()
{
    const QList<QMdiSubWindow *> windows = Visible();
    if (windows.isEmpty())
        return;
    const QRect area = viewport()->rect();
    const int height = area.height() / int(windows.size());
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry(0, i * height, area.width(), height);
    }
}

void TWorkspace::TileVertically()
{
    const QList<QMdiSubWindow *> windows = Visible();
    if (windows.isEmpty())
        return;
    const QRect area = viewport()->rect();
    const int width = area.width() / int(windows.size());
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry(i * width, 0, width, area.height());
    }
}

void TWorkspace::MinimizeAll()
{
    for (QMdiSubWindow *sub : subWindowList(QMdiArea::CreationOrder))
        sub->showMinimized();
    ArrangeIcons();
}

void TWorkspace::ArrangeIcons()
{
    const QRect area = viewport()->rect();
    int x = 0;
    int y = area.height();
    for (QMdiSubWindow *sub : subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= size.height();
        }
        sub->move(x, y - size.height());
        x += size.width();
    }
}
