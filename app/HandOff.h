// The single-instance hand-off: a later start passes its file arguments to the running player.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace HandOff {

// A per-user channel name, so another user's player is never reached.
QString ChannelName();
// Each argument in the local 8-bit encoding followed by byte 13.
QByteArray BuildText(const QStringList &arguments);
// The paths of a hand-off text: pieces end at byte 13 or at a zero byte; empty pieces name
// nothing. A last piece without its terminator is taken too.
QStringList SplitText(const QByteArray &text);
// Hands the text to a running instance and waits until it has opened every path.
// False when no instance answers on the channel.
bool SendToRunning(const QString &channel, const QByteArray &text);

} // namespace HandOff

// The first instance's end of the channel. Each message is handled synchronously: the sender
// is released only after the handler has returned.
class THandOffServer : public QObject {
public:
    using THandler = std::function<void(const QByteArray &)>;
    THandOffServer(const QString &channel, THandler handler, QObject *parent = nullptr);
    // Starts listening; a channel left behind by a crashed instance is removed first.
    bool Listen();

private:
    void Accept();
    void ReadFrom(QLocalSocket *socket);

    QString channel;
    THandler handler;
    QLocalServer *server;
};
