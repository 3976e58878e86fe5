// The record of solved puzzles: which, when and how fast, in a small file of the user's data.
#pragma once

#include "format/PuzzleDocument.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// A puzzle is known by its clues, so a copy or a renamed file is the same puzzle: the hex
// SHA-1 of its size and every line's runs.
QByteArray PuzzleIdentity(const TMyCrossArr &solution);

// "0:07", "12:05", "1:02:03".
QString DurationText(double seconds);

struct TSolvedEntry {
    QByteArray Id;
    QDateTime When;      // UTC
    double Seconds = 0;  // play time on the board's clock
    int32_t Cols = 0, Rows = 0;
    int32_t Level = -1;  // the difficulty digit of the file's name, -1 for none
    QString Name;        // the file's name when it was solved

    bool operator==(const TSolvedEntry &) const = default;
};

class TSolvedRecord {
public:
    explicit TSolvedRecord(const QString &path = DefaultPath());
    // solved.txt in the user's data folder of the program.
    static QString DefaultPath();

    // Reads the file; a missing one is an empty record. A damaged one is renamed aside and the
    // record starts empty: the text then says so for the player, else it is empty. A reader
    // that only looks (the browser) leaves a damaged file where it is for the frame to report.
    QString Load(bool setAside = true);
    // Adds the entry and writes the whole file anew, atomically. Throws EPuzzleError.
    void Add(const TSolvedEntry &entry);

    const QList<TSolvedEntry> &Entries() const { return List; }
    bool Contains(const QByteArray &id) const;
    // The least play time recorded for the puzzle, or a negative number when none is.
    double Best(const QByteArray &id) const;
    // Whether the puzzle in that file was solved. Only files of a size some solved puzzle has
    // are read, so a listing of unsolved puzzles costs no reading.
    bool HoldsFile(const QString &path, int32_t cols, int32_t rows) const;

    QString Path;

private:
    QList<TSolvedEntry> List;
};
