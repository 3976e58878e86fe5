// The single-instance hand-off: a later start passes its file arguments to the running player.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>

class QLocalServer;
class QLocalSocket;
class QTimer;

namespace HandOff {

// Far more than any command line carries (the system allows 6 MB of arguments at most); a
// longer message is not one of ours and is never buffered.
constexpr qint64 MaxTextSize = 8 * 1024 * 1024;

// A per-user channel name, so another user's player is never reached. Empty when the folder
// it would live in is not the user's own; problem then says why.
QString ChannelName(QString *problem = nullptr);
// Each argument in the local 8-bit encoding followed by byte 13.
QByteArray BuildText(const QStringList &arguments);
// The paths of a hand-off text: pieces end at byte 13 or at a zero byte; empty pieces name
// nothing. A last piece without its terminator is taken too.
QStringList SplitText(const QByteArray &text);

// A message on the channel is the text's length (4 bytes, little-endian) and the text.
QByteArray BuildMessage(const QByteArray &text);
enum class TMessageState { Incomplete, Complete, Invalid };
// What the bytes received so far from a peer amount to; text gets the text once Complete.
// Bytes after a complete message are ignored; a length over MaxTextSize is Invalid.
TMessageState ParseMessage(const QByteArray &received, QByteArray *text);

// Hands the text to a running instance and waits while it opens every path. False when this
// start must be the first instance: no instance answers, or (with problem set) the one that
// answers is not the user's own player.
bool SendToRunning(const QString &channel, const QByteArray &text, QString *problem = nullptr);
// The standard-error line saying that single-instance is off, and why.
QString OffWarning(const QString &problem);

} // namespace HandOff

// The first instance's end of the channel. Each message is handled synchronously: the sender
// is released only after the handler has returned, and hears a keep-alive meanwhile.
class THandOffServer : public QObject {
public:
    using THandler = std::function<void(const QByteArray &)>;
    THandOffServer(const QString &channel, THandler handler, QObject *parent = nullptr);
    // Starts listening; a channel left behind by a crashed instance is removed first. Once
    // listening, the channel is put back whenever the system closes it.
    bool Listen();

private:
    bool TakeChannel();
    void KeepListening();
    void Accept();
    void ReadFrom(QLocalSocket *socket);
    void Handle(QLocalSocket *socket, const QByteArray &text);

    QString channel;
    THandler handler;
    QLocalServer *server;
    QTimer *watch;
    // What each peer has sent of its message so far.
    QHash<QLocalSocket *, QByteArray> inbox;
};
