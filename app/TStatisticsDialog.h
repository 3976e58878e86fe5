// «Статистика»: the solved puzzles, one row each, with date, size, difficulty, best time and count.
#pragma once

#include "format/PuzzleDocument.h"

#include <QDialog>

class QTableWidget;
class QWidget;

class TStatisticsDialog : public QDialog {
    Q_OBJECT

public:
    enum Column { ColName, ColSize, ColDifficulty, ColDate, ColBest, ColCount, ColumnCount };

    // Reads the record; a damaged one is set aside with a message, as at a victory.
    explicit TStatisticsDialog(QWidget *parent = nullptr);
    QTableWidget *Table;
};

// Writes a solved game into the record and gives the lines the victory box adds: the time and
// the best earlier one. A record that cannot be read or written never stops the game.
QString RecordVictory(QWidget *parent, const PuzzleDocument &doc, const QString &fileName);
