// The close-up's overview: the whole board small in the corner between the clue areas, with the
// part in view framed.
#pragma once

#include "core/BoardGeometry.h"

#include <QImage>
#include <QWidget>

#include <vector>

class TMDIChild;

class TBoardOverview : public QWidget {
public:
    explicit TBoardOverview(TMDIChild *board);

    // Places, shows or hides the overview for the board's latest render and takes in its marks
    // and view; repaints only when one of them changed.
    void Follow();
    // Pixels of the board per cell, at most one.
    double Scale() const { return CellScale; }
    int Paints = 0;  // how often it has painted, for the checks of what a pointer move costs

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void Centre(QPoint at);

    TMDIChild *Board;
    QImage Picture;  // a pixel a cell
    std::vector<std::vector<int32_t>> Shown;  // the marks the picture shows
    TBoardView View;
    double CellScale = 1;
};
