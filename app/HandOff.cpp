// The single-instance hand-off: a later start passes its file arguments to the running player.
#include "app/HandOff.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QtEndian>
#include <unistd.h>

namespace {
// A message is its length (4 bytes, little-endian) and the text; the answer is one byte.
constexpr char Ack = 'K';
constexpr int LengthSize = 4;
// Far more than any command line carries; a longer message is not one of ours.
constexpr qint64 MaxTextSize = 16 * 1024 * 1024;
}

namespace HandOff {

QString ChannelName()
{
    // The runtime folder is the user's own. Without one, a folder of our own in the temporary
    // folder keeps others from placing a channel where ours is looked for.
    const QString uid = QString::number(getuid());
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
        dir = QDir::tempPath() + QStringLiteral("/setkariy-") + uid;
        QDir().mkdir(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QFileInfo info(dir);
        if (!info.isDir() || info.isSymLink() || info.ownerId() != getuid()
            || (info.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther
                                      | QFileDevice::WriteOther)))
            return QString();
    }
    return dir + QStringLiteral("/setkariy-TMainForm-") + uid;
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

bool SendToRunning(const QString &channel, const QByteArray &text)
{
    if (channel.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(channel);
    if (!socket.waitForConnected(2000))
        return false;
    char length[LengthSize];
    qToLittleEndian<quint32>(static_cast<quint32>(text.size()), length);
    socket.write(length, LengthSize);
    socket.write(text);
    if (!socket.waitForBytesWritten(5000) && socket.bytesToWrite() > 0)
        return false;
    // The receiver may show messages while it opens the files: wait as long as it takes.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(-1))
            break;
    }
    // A receiver that died mid-way still counts as running: this start must not open a second
    // window over the same files.
    return true;
}

} // namespace HandOff

THandOffServer::THandOffServer(const QString &channel, THandler handler, QObject *parent)
    : QObject(parent)
    , channel(channel)
    , handler(std::move(handler))
    , server(new QLocalServer(this))
{
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, &THandOffServer::Accept);
}

bool THandOffServer::Listen()
{
    if (channel.isEmpty())
        return false;
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

void THandOffServer::Accept()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        ReadFrom(socket);
    }
}

void THandOffServer::ReadFrom(QLocalSocket *socket)
{
    if (socket->property("handled").toBool() || socket->bytesAvailable() < LengthSize)
        return;
    char length[LengthSize];
    socket->peek(length, LengthSize);
    const qint64 size = qFromLittleEndian<quint32>(length);
    if (size > MaxTextSize) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < LengthSize + size)
        return;
    socket->read(LengthSize);
    const QByteArray text = socket->read(size);
    socket->setProperty("handled", true);
    QPointer<QLocalSocket> alive(socket);
    handler(text);
    if (alive) {
        alive->write(&Ack, 1);
        alive->flush();
    }
}
