// A puzzle file open in a board window is marked for every process of the user, so a second
// player never opens it over the first one's game.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace OpenMarks {

// Holds the mark of one file while it lives.
class TMark : public QObject {
public:
    explicit TMark(qint64 key);
    ~TMark() override;

private:
    qint64 key;
};

enum class TMarkResult { Taken, HeldElsewhere, NoPlace };
// Marks the file (by its canonical path) as open here; *mark then holds it. A file marked by
// another process, or by another player of this one, is HeldElsewhere. NoPlace when the user
// has no private folder for the marks: the file opens unmarked.
TMarkResult Take(const QString &path, std::unique_ptr<TMark> *mark);
// The board window holds the mark until it is destroyed.
void Keep(QObject *board, std::unique_ptr<TMark> mark);
// The board window now holds the file at path: its old mark goes, the new one is taken when free.
void Follow(QObject *board, const QString &path);
// Whether another process holds the mark of the file (for tests and diagnostics).
bool HeldElsewhere(const QString &path);

} // namespace OpenMarks
