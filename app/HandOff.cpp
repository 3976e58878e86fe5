// The single-instance hand-off: a later start passes its file arguments to the running player.
#include "app/HandOff.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
// The receiver answers Busy on taking a sender and every KeepAliveMs while the sender waits,
// then Done.
constexpr char Done = 'K';
constexpr char Busy = '.';
constexpr int KeepAliveMs = 1000;
constexpr int LengthSize = 4;
// The sender's limits: to reach a channel whose owner lives (starting up, or its queue full),
// and to hear anything at all from it. A stalled owner is reported after SilenceMs.
// A minute, since a start in a burst of a hundred can wait that long for the owner to listen.
constexpr int ConnectTotalMs = 60000;
constexpr int ConnectRetryMs = 50;
constexpr int SilenceMs = 10000;
// A peer that has not sent its whole message by then only holds a descriptor.
constexpr int IdlePeerMs = 5000;
// Peers served at once; the rest wait in the system's queue without costing descriptors.
constexpr int MaxPeers = 64;
// The system's queue: a burst of starts from a file manager fits in it.
constexpr int Backlog = 256;
// How often a listening server looks whether its channel is still in place.
constexpr int WatchMs = 1000;

// Why a folder cannot hold the channel, or an empty string when it can.
QString FolderProblem(const QString &dir)
{
    struct stat st {};
    if (::stat(QFile::encodeName(dir).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return QStringLiteral("нет папки %1").arg(dir);
    if (st.st_uid != getuid())
        return QStringLiteral("папка %1 принадлежит другому пользователю").arg(dir);
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return QStringLiteral("в папку %1 могут писать другие пользователи").arg(dir);
    return QString();
}
} // namespace

namespace HandOff {

QString ChannelName(QString *problem)
{
    const QString uid = QString::number(getuid());
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString why;
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
        // Without a runtime folder, one of our own in the shared temporary folder, which nobody
        // else may even look into.
        dir = QDir::tempPath() + QStringLiteral("/setkariy-") + uid;
        QDir().mkdir(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QFileInfo info(dir);
        if (info.isSymLink())
            why = QStringLiteral("папка %1 — ссылка").arg(dir);
        else if (!info.isDir())
            why = info.exists() ? QStringLiteral("%1 — не папка, а файл").arg(dir)
                                : QStringLiteral("не создать папку %1").arg(dir);
        else if (info.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther))
            why = QStringLiteral("папка %1 открыта другим пользователям").arg(dir);
    }
    // Whoever may write in the folder may put a channel of their own where ours is looked for.
    if (why.isEmpty())
        why = FolderProblem(dir);
    if (problem)
        *problem = why;
    return why.isEmpty() ? dir + QStringLiteral("/setkariy-TMainForm-") + uid : QString();
}

QByteArray BuildText(const QStringList &arguments)
{
    QByteArray text;
    for (const QString &argument : arguments) {
        text += argument.toLocal8Bit();
        text += '\r';
    }
    return text;
}

QStringList SplitText(const QByteArray &text)
{
    QStringList paths;
    QByteArray piece;
    for (char ch : text) {
        if (ch == '\r' || ch == '\0') {
            if (!piece.isEmpty())
                paths << QString::fromLocal8Bit(piece);
            piece.clear();
        } else {
            piece += ch;
        }
    }
    if (!piece.isEmpty())
        paths << QString::fromLocal8Bit(piece);
    return paths;
}

QByteArray BuildMessage(const QByteArray &text)
{
    char length[LengthSize];
    qToLittleEndian<quint32>(static_cast<quint32>(text.size()), length);
    return QByteArray(length, LengthSize) + text;
}

TMessageState ParseMessage(const QByteArray &received, QByteArray *text)
{
    if (received.size() < LengthSize)
        return TMessageState::Incomplete;
    const qint64 size = qFromLittleEndian<quint32>(received.constData());
    if (size > MaxTextSize)
        return TMessageState::Invalid;
    if (received.size() < LengthSize + size)
        return TMessageState::Incomplete;
    if (text)
        *text = received.mid(LengthSize, size);
    return TMessageState::Complete;
}

namespace {

// A connection to the channel, or -1 (errno says why).
int ConnectOnce(const QString &channel)
{
    const QByteArray name = QFile::encodeName(channel);
    sockaddr_un addr {};
    if (size_t(name.size()) >= sizeof addr.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, name.constData(), size_t(name.size()));
    // Non-blocking: a full queue is EAGAIN at once, to be tried again, never a wait without end.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

enum class TTalk { Done, Silent, Dropped, DroppedAfterBusy, Foreign };

// Sends the message on a connected socket and waits for the answer, never longer than
// SilenceMs without hearing a byte.
TTalk Talk(int fd, const QByteArray &text, const QString &channel, QString *problem)
{
    // The paths go only to a player of this user: anyone else listening here is an impostor.
    ucred peer {};
    socklen_t size = sizeof peer;
    const bool known = getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0;
    if (!known || peer.uid != getuid()) {
        if (problem)
            *problem = known ? QStringLiteral("канал %1 слушает другой пользователь (uid %2)").arg(channel).arg(peer.uid)
                             : QStringLiteral("не узнать, чей канал %1").arg(channel);
        return TTalk::Foreign;
    }
    const QByteArray message = HandOff::BuildMessage(text);
    qsizetype sent = 0;
    bool heard = false;
    QDeadlineTimer quiet(SilenceMs);
    for (;;) {
        pollfd p {fd, short(POLLIN | (sent < message.size() ? POLLOUT : 0)), 0};
        const int ready = ::poll(&p, 1, int(std::max<qint64>(quiet.remainingTime(), 0)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return TTalk::Silent;
        if (p.revents & POLLIN) {
            char answer[256];
            const ssize_t got = ::read(fd, answer, sizeof answer);
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (got <= 0)
                return heard ? TTalk::DroppedAfterBusy : TTalk::Dropped;
            if (std::memchr(answer, Done, size_t(got)))
                return TTalk::Done;
            heard = true;
            quiet.setRemainingTime(SilenceMs);
        } else if (p.revents & POLLOUT) {
            const ssize_t put = ::send(fd, message.constData() + sent, size_t(message.size() - sent), MSG_NOSIGNAL);
            if (put < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (put < 0)
                return heard ? TTalk::DroppedAfterBusy : TTalk::Dropped;
            sent += put;
            quiet.setRemainingTime(SilenceMs);
        } else {
            return heard ? TTalk::DroppedAfterBusy : TTalk::Dropped;
        }
    }
}

} // namespace

TChannelLock::TChannelLock(const QString &channel)
{
    const QString name = channel + QStringLiteral(".lock");
    fd = ::open(QFile::encodeName(name).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        problem = QStringLiteral("не открыть файл %1: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno)));
}

TChannelLock::TChannelLock(TChannelLock &&other) noexcept
    : fd(std::exchange(other.fd, -1))
    , held(std::exchange(other.held, false))
    , problem(std::move(other.problem))
{
}

TChannelLock &TChannelLock::operator=(TChannelLock &&other) noexcept
{
    if (this != &other) {
        if (fd >= 0)
            ::close(fd);
        fd = std::exchange(other.fd, -1);
        held = std::exchange(other.held, false);
        problem = std::move(other.problem);
    }
    return *this;
}

TChannelLock::~TChannelLock()
{
    if (fd >= 0)
        ::close(fd);
}

bool TChannelLock::TryTake()
{
    if (!held && fd >= 0)
        held = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    return held;
}

TStart Start(const QString &channel, const QByteArray &text, TChannelLock *lock, QString *problem)
{
    if (channel.isEmpty())
        return TStart::Alone;
    *lock = TChannelLock(channel);
    if (!lock->Problem().isEmpty()) {
        if (problem)
            *problem = lock->Problem();
        return TStart::Alone;
    }
    // Until the owner listens, or while its queue is full, connects fail: that only means wait.
    QDeadlineTimer reaching(ConnectTotalMs);
    for (;;) {
        if (lock->TryTake())
            return TStart::First;
        const int fd = ConnectOnce(channel);
        if (fd >= 0) {
            const TTalk talk = Talk(fd, text, channel, problem);
            ::close(fd);
            switch (talk) {
            case TTalk::Done:
                return TStart::Handed;
            case TTalk::Foreign:
                return TStart::Alone;
            case TTalk::Silent:
                // Alive and silent: its message may still be read, but never opened by both.
                return lock->TryTake() ? TStart::First : TStart::Unanswered;
            case TTalk::DroppedAfterBusy:
                // It took the message; only a dead owner leaves the paths to this start.
                return lock->TryTake() ? TStart::First : TStart::Handed;
            case TTalk::Dropped:
                break;  // closed before reading: try again
            }
        } else if (errno == ENAMETOOLONG) {
            if (problem)
                *problem = QStringLiteral("путь канала %1 слишком длинный").arg(channel);
            return TStart::Alone;
        }
        if (reaching.hasExpired())
            return TStart::Unanswered;
        ::usleep(ConnectRetryMs * 1000);
    }
}

bool SendToRunning(const QString &channel, const QByteArray &text, QString *problem)
{
    const int fd = channel.isEmpty() ? -1 : ConnectOnce(channel);
    if (fd < 0)
        return false;
    const TTalk talk = Talk(fd, text, channel, problem);
    ::close(fd);
    return talk == TTalk::Done;
}

QString UnansweredText()
{
    return QStringLiteral("Сеткарий уже запущен, но не отвечает");
}

QString OffWarning(const QString &problem)
{
    return QStringLiteral("setkariy: режим одной копии выключен: %1; эта копия работает сама по себе").arg(problem);
}

} // namespace HandOff

THandOffServer::THandOffServer(const QString &channel, THandler handler, QObject *parent)
    : QObject(parent)
    , channel(channel)
    , handler(std::move(handler))
    , server(new QLocalServer(this))
    , watch(new QTimer(this))
    , keepAlive(new QTimer(this))
{
    server->setSocketOptions(QLocalServer::UserAccessOption);
    server->setMaxPendingConnections(MaxPeers);
    server->setListenBacklogSize(Backlog);
    connect(server, &QLocalServer::newConnection, this, &THandOffServer::Accept);
    watch->setInterval(WatchMs);
    connect(watch, &QTimer::timeout, this, &THandOffServer::KeepListening);
    keepAlive->setInterval(KeepAliveMs);
    connect(keepAlive, &QTimer::timeout, this, &THandOffServer::SayBusy);
}

bool THandOffServer::Listen(HandOff::TChannelLock *taken)
{
    if (channel.isEmpty()) {
        error = QStringLiteral("нет канала");
        return false;
    }
    if (taken && taken->Held()) {
        lock = std::move(*taken);
    } else {
        lock = HandOff::TChannelLock(channel);
        if (!lock.TryTake()) {
            error = lock.Problem().isEmpty() ? QStringLiteral("канал %1 занят другой копией").arg(channel) : lock.Problem();
            lock = HandOff::TChannelLock();
            return false;
        }
    }
    if (!TakeChannel()) {
        error = QStringLiteral("не слушать канал %1: %2").arg(channel, server->errorString());
        // Later starts must not wait on an owner nobody can reach.
        lock = HandOff::TChannelLock();
        return false;
    }
    watch->start();
    keepAlive->start();
    return true;
}

bool THandOffServer::TakeChannel()
{
    // Only the holder of the lock gets here: whatever lies at the channel's path is a leftover.
    QLocalServer::removeServer(channel);
    return server->listen(channel);
}

void THandOffServer::KeepListening()
{
    // Qt closes the server and removes its socket on any accept error, e.g. when the
    // descriptors run out, and never listens again by itself; a cleaner may remove the socket.
    struct stat st {};
    if (server->isListening() && ::lstat(QFile::encodeName(channel).constData(), &st) == 0 && S_ISSOCK(st.st_mode))
        return;
    server->close();
    TakeChannel();
}

void THandOffServer::Accept()
{
    while (inbox.size() < MaxPeers) {
        QLocalSocket *socket = server->nextPendingConnection();
        if (!socket)
            return;
        inbox.insert(socket, QByteArray());
        connect(socket, &QObject::destroyed, this, [this, socket] {
            inbox.remove(socket);
            QMetaObject::invokeMethod(this, &THandOffServer::Accept, Qt::QueuedConnection);
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(IdlePeerMs, socket, [socket] {
            if (!socket->property("handled").toBool()) {
                socket->abort();
                socket->deleteLater();
            }
        });
        // The sender knows at once that a live player has it, however long its turn takes.
        socket->write(&Busy, 1);
        ReadFrom(socket);
    }
}

void THandOffServer::SayBusy()
{
    for (auto it = inbox.cbegin(); it != inbox.cend(); ++it)
        if (it.key()->state() == QLocalSocket::ConnectedState)
            it.key()->write(&Busy, 1);
}

void THandOffServer::ReadFrom(QLocalSocket *socket)
{
    if (socket->property("handled").toBool()) {
        socket->readAll();  // more than the message: dropped, never kept
        return;
    }
    QByteArray &received = inbox[socket];
    received += socket->read(LengthSize + HandOff::MaxTextSize - received.size());
    QByteArray text;
    switch (HandOff::ParseMessage(received, &text)) {
    case HandOff::TMessageState::Incomplete:
        return;
    case HandOff::TMessageState::Invalid:
        socket->abort();
        socket->deleteLater();
        return;
    case HandOff::TMessageState::Complete:
        socket->setProperty("handled", true);
        received.clear();
        received.squeeze();
        queue.append({QPointer<QLocalSocket>(socket), text});
        QMetaObject::invokeMethod(this, &THandOffServer::HandleNext, Qt::QueuedConnection);
        return;
    }
}

namespace {
// Whether the sender still waits for its answer: one that gave up (it found us stalled and
// said so) has hung up, and its paths are not ours to open any more.
bool SenderWaits(QLocalSocket *socket)
{
    if (!socket || socket->state() != QLocalSocket::ConnectedState)
        return false;
    pollfd p {int(socket->socketDescriptor()), POLLRDHUP, 0};
    return ::poll(&p, 1, 0) >= 0 && !(p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL));
}
} // namespace

void THandOffServer::HandleNext()
{
    // One message at a time: a question shown for one runs an event loop of its own.
    if (handling || queue.isEmpty())
        return;
    auto [socket, text] = queue.takeFirst();
    if (!SenderWaits(socket)) {
        if (socket) {
            socket->abort();
            socket->deleteLater();
        }
        QMetaObject::invokeMethod(this, &THandOffServer::HandleNext, Qt::QueuedConnection);
        return;
    }
    handling = true;
    handler(text);
    handling = false;
    if (socket) {
        socket->write(&Done, 1);
        socket->disconnectFromServer();
    }
    if (!queue.isEmpty())
        QMetaObject::invokeMethod(this, &THandOffServer::HandleNext, Qt::QueuedConnection);
}
