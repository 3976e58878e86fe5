// The single-instance hand-off: a later start passes its file arguments to the running player.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
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

// The kernel's lock on the channel. Its holder is the running player for as long as it lives;
// the system lets go of it however the player ends, so a stalled player still holds it.
class TChannelLock {
public:
    TChannelLock() = default;
    explicit TChannelLock(const QString &channel);
    TChannelLock(TChannelLock &&other) noexcept;
    TChannelLock &operator=(TChannelLock &&other) noexcept;
    TChannelLock(const TChannelLock &) = delete;
    TChannelLock &operator=(const TChannelLock &) = delete;
    ~TChannelLock();
    // True once this process holds the lock; never blocks.
    bool TryTake();
    bool Held() const { return held; }
    // Why the lock file cannot be used, or an empty text.
    QString Problem() const { return problem; }

private:
    int fd = -1;
    bool held = false;
    QString problem;
};

enum class TStart {
    Handed,      // the running player has taken the paths
    First,       // nobody owns the channel: this start is the player (the lock is held)
    Unanswered,  // a player owns the channel but does not answer: nothing may be opened
    Alone,       // the channel cannot be used at all: problem says why
};
// Either hands the text to the channel's owner and waits while it opens every path, or takes
// the channel's lock. Ownership is never decided by a failed connect: while an owner lives,
// this start only ever waits for it, within a bounded time.
TStart Start(const QString &channel, const QByteArray &text, TChannelLock *lock, QString *problem = nullptr);
// Hands the text to a running instance; true once it has opened every path. For tests.
bool SendToRunning(const QString &channel, const QByteArray &text, QString *problem = nullptr);
// The standard-error line saying that single-instance is off, and why.
QString OffWarning(const QString &problem);
// What a start says when the owner of the channel does not answer.
QString UnansweredText();

} // namespace HandOff

// The first instance's end of the channel. Messages are handled one at a time from the event
// loop: every sender still waiting hears a keep-alive meanwhile, and is released only after
// the handler has returned for its own message.
class THandOffServer : public QObject {
public:
    using THandler = std::function<void(const QByteArray &)>;
    THandOffServer(const QString &channel, THandler handler, QObject *parent = nullptr);
    // Takes the channel's lock (or adopts one already taken) and listens; false when another
    // process owns the channel or the socket cannot be made (errorString says why). The lock is
    // kept for the server's life, and the channel is put back whenever the system closes it.
    bool Listen(HandOff::TChannelLock *taken = nullptr);
    QString ErrorString() const { return error; }

private:
    bool TakeChannel();
    void KeepListening();
    void Accept();
    void ReadFrom(QLocalSocket *socket);
    void HandleNext();
    void SayBusy();

    QString channel;
    THandler handler;
    HandOff::TChannelLock lock;
    QLocalServer *server;
    QTimer *watch;
    QTimer *keepAlive;
    QString error;
    bool handling = false;
    // What each peer has sent of its message so far.
    QHash<QLocalSocket *, QByteArray> inbox;
    // Complete messages in the order they came, with their senders.
    QList<QPair<QPointer<QLocalSocket>, QByteArray>> queue;
};
