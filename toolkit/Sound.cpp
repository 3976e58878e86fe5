// Fire-and-forget playing of a WAV file by name.
#include "toolkit/Sound.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace {

std::function<void(const QString &)> player;

void PlayWithQt(const QString &path)
{
    // One effect for the whole run; setting a new source stops what was still playing.
    static QSoundEffect *effect = nullptr;
    if (!effect)
        effect = new QSoundEffect(QCoreApplication::instance());
    effect->setSource(QUrl::fromLocalFile(path));
    effect->play();
}

} // namespace

void PlaySoundAsync(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.isFile())
        return;
    const QString path = info.absoluteFilePath();
    if (player)
        player(path);
    else
        PlayWithQt(path);
}

void SetSoundPlayer(std::function<void(const QString &)> replacement)
{
    player = std::move(replacement);
}
