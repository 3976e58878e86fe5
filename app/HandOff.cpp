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
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The receiver answers Busy every KeepAliveMs while it handles a message, then Done.
constexpr char Done = 'K';
constexpr char Busy = '.';
constexpr int KeepAliveMs = 1000;
constexpr int LengthSize = 4;
// The sender's limits: to connect, and to hear anything at all from the receiver.
constexpr int ConnectMs = 2000;
constexpr int SilenceMs = 5000;
// A peer that has not sent its whole message by then only holds a descriptor.
constexpr int IdlePeerMs = 5000;
// Peers served at once; the rest wait in the system's queue without costing descriptors.
constexpr int MaxPeers = 16;
// How often a listening server looks whether the system has closed its channel.
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

bool SendToRunning(const QString &channel, const QByteArray &text, QString *problem)
{
    if (channel.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(channel);
    if (!socket.waitForConnected(ConnectMs))
        return false;
    // The paths go only to a player of this user: anyone else listening here is an impostor.
    ucred peer {};
    socklen_t size = sizeof peer;
    const bool known = getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0;
    if (!known || peer.uid != getuid()) {
        if (problem)
            *problem = known ? QStringLiteral("канал %1 слушает другой пользователь (uid %2)").arg(channel).arg(peer.uid)
                             : QStringLiteral("не узнать, чей канал %1").arg(channel);
        return false;
    }
    socket.write(BuildMessage(text));
    // Every wait is bounded by the silence of the receiver: a busy player keeps saying so.
    bool heard = false;
    QDeadlineTimer quiet(SilenceMs);
    while (socket.bytesToWrite() > 0 && socket.state() == QLocalSocket::ConnectedState && !quiet.hasExpired()) {
        const qint64 before = socket.bytesToWrite();
        socket.waitForBytesWritten(int(quiet.remainingTime()));
        if (socket.bytesToWrite() < before)
            quiet.setRemainingTime(SilenceMs);
    }
    while (socket.bytesToWrite() == 0 && !quiet.hasExpired()) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(int(quiet.remainingTime())))
            break;
        const QByteArray answer = socket.readAll();
        if (answer.contains(Done))
            return true;
        heard = heard || !answer.isEmpty();
        quiet.setRemainingTime(SilenceMs);
    }
    // A receiver that took the message and then died or stuck still counts as running: this
    // start must not open a second window over the same files.
    if (heard)
        return true;
    if (socket.state() != QLocalSocket::ConnectedState)
        return false;  // gone before it read anything: no instance runs
    if (problem)
        *problem = QStringLiteral("на канале %1 никто не отвечает").arg(channel);
    return false;
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
{
    server->setSocketOptions(QLocalServer::UserAccessOption);
    server->setMaxPendingConnections(MaxPeers);
    connect(server, &QLocalServer::newConnection, this, &THandOffServer::Accept);
    watch->setInterval(WatchMs);
    connect(watch, &QTimer::timeout, this, &THandOffServer::KeepListening);
}

bool THandOffServer::Listen()
{
    if (channel.isEmpty() || !TakeChannel())
        return false;
    watch->start();
    return true;
}

bool THandOffServer::TakeChannel()
{
    // Listening with access options puts the new socket in place over any old one, so a live
    // channel must be recognised first: only one nobody answers on is a crashed player's leftover.
    QLocalSocket probe;
    probe.connectToServer(channel);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        return false;
    }
    QLocalServer::removeServer(channel);
    return server->listen(channel);
}

void THandOffServer::KeepListening()
{
    // Qt closes the server and removes its socket on any accept error, e.g. when the
    // descriptors run out; it never listens again by itself.
    if (server->isListening())
        return;
    QLocalSocket probe;
    probe.connectToServer(channel);
    if (probe.waitForConnected(1000)) {
        // Another instance took the channel meanwhile; later starts go there.
        probe.abort();
        watch->stop();
        return;
    }
    QLocalServer::removeServer(channel);
    server->listen(channel);
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
        ReadFrom(socket);
    }
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
        Handle(socket, text);
        return;
    }
}

void THandOffServer::Handle(QLocalSocket *socket, const QByteArray &text)
{
    // The handler may show the player a question; the sender keeps hearing that we are busy.
    QTimer keepAlive;
    keepAlive.setInterval(KeepAliveMs);
    connect(&keepAlive, &QTimer::timeout, socket, [socket] { socket->write(&Busy, 1); });
    keepAlive.start();
    QPointer<QLocalSocket> alive(socket);
    handler(text);
    keepAlive.stop();
    if (alive) {
        alive->write(&Done, 1);
        alive->disconnectFromServer();
    }
}
