// The workspace of the main window: board windows over a picture stretched to fill it.
#pragma once

#include <QImage>
#include <QMdiArea>
#include <QPixmap>

class TWorkspace : public QMdiArea {
public:
    explicit TWorkspace(QWidget *parent = nullptr);
    // The picture behind the board windows (Image1); a null image leaves the plain colour.
    void SetPicture(const QImage &picture);
    const QImage &Picture() const { return Image1; }

    // A board window's outer size when it is neither maximized nor minimized.
    static constexpr int RestoredWidth = 507;
    static constexpr int RestoredHeight = 424;

    // Board windows stepped down from the top-left corner, each at its restored size.
    void Cascade();
    // Board windows one above another, each as wide as the workspace.
    void TileHorizontally();
    // Board windows side by side, each as tall as the workspace.
    void TileVertically();
    void MinimizeAll();
    // Lines up the minimized windows along the bottom without restoring any of them.
    void ArrangeIcons();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<QMdiSubWindow *> Visible() const;

    QImage Image1;
    QPixmap Scaled;  // the picture at the viewport's size, made again only when that changes
};
