// A puzzle file open in a board window is marked for every process of the user.
#include "app/OpenMarks.h"

#include "app/HandOff.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace OpenMarks {
namespace {

// One byte of one lock file per open puzzle, locked as an open-file-description lock: the
// system drops it when the player ends however it ends, a save that renames a new file into
// place keeps it, and two marks never cost more than one descriptor.
int MarksFile()
{
    static int fd = -2;
    if (fd == -2) {
        const QString channel = HandOff::ChannelName();
        fd = channel.isEmpty() ? -1
                               : ::open(QFile::encodeName(channel + QStringLiteral(".open")).constData(),
                                        O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    }
    return fd;
}

// Where the file's byte lies: the canonical path's hash, within the positive offsets.
qint64 KeyOf(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(canonical.isEmpty() ? path : canonical),
                                                     QCryptographicHash::Sha256);
    return qint64(qFromLittleEndian<quint64>(hash.constData()) >> 2);
}

bool Lock(int fd, qint64 key, short type, int command = F_OFD_SETLK, short *found = nullptr)
{
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = off_t(key);
    range.l_len = 1;
    if (::fcntl(fd, command, &range) != 0)
        return false;
    if (found)
        *found = range.l_type;
    return true;
}

} // namespace

// The keys this process holds: its own description never conflicts with itself.
QSet<qint64> &HeldHere()
{
    static QSet<qint64> keys;
    return keys;
}

TMark::TMark(qint64 key)
    : key(key)
{
    HeldHere().insert(key);
}

TMark::~TMark()
{
    HeldHere().remove(key);
    Lock(MarksFile(), key, F_UNLCK);
}

TMarkResult Take(const QString &path, std::unique_ptr<TMark> *mark)
{
    const int fd = MarksFile();
    if (fd < 0)
        return TMarkResult::NoPlace;
    const qint64 key = KeyOf(path);
    if (HeldHere().contains(key))
        return TMarkResult::HeldElsewhere;
    if (!Lock(fd, key, F_WRLCK))
        return errno == EAGAIN || errno == EACCES ? TMarkResult::HeldElsewhere : TMarkResult::NoPlace;
    *mark = std::make_unique<TMark>(key);
    return TMarkResult::Taken;
}

void Keep(QObject *board, std::unique_ptr<TMark> mark)
{
    if (!mark)
        return;
    mark->setObjectName(QStringLiteral("OpenMark"));
    mark.release()->setParent(board);
}

void Follow(QObject *board, const QString &path)
{
    delete board->findChild<QObject *>(QStringLiteral("OpenMark"), Qt::FindDirectChildrenOnly);
    std::unique_ptr<TMark> mark;
    Take(path, &mark);
    Keep(board, std::move(mark));
}

bool HeldElsewhere(const QString &path)
{
    const int fd = MarksFile();
    short found = F_UNLCK;
    return fd >= 0 && Lock(fd, KeyOf(path), F_WRLCK, F_OFD_GETLK, &found) && found != F_UNLCK;
}

} // namespace OpenMarks
