// Fire-and-forget playing of a WAV file by name.
#include "toolkit/Sound.h"

#include <QFileInfo>
#include <canberra.h>

namespace {

std::function<void(const QString &)> player;

// The desktop's event-sound library plays the file on its own thread through whatever sound
// server (or ALSA device) there is; without one it fails quietly. One context for the whole
// run, so a later chime does not pay for connecting again.
void PlayWithCanberra(const QString &path)
{
    static ca_context *context = [] {
        ca_context *c = nullptr;
        if (ca_context_create(&c) != CA_SUCCESS)
            return static_cast<ca_context *>(nullptr);
        ca_context_change_props(c, CA_PROP_APPLICATION_NAME, "Сеткарий", CA_PROP_APPLICATION_ID,
                                "setkariy", nullptr);
        return c;
    }();
    if (!context)
        return;
    // Id 0 for every chime: a new one may start while the last still plays, as before.
    ca_context_play(context, 0, CA_PROP_MEDIA_FILENAME, path.toLocal8Bit().constData(),
                    CA_PROP_EVENT_DESCRIPTION, "Кроссворд решён", CA_PROP_CANBERRA_CACHE_CONTROL,
                    "never", nullptr);
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
        PlayWithCanberra(path);
}

void SetSoundPlayer(std::function<void(const QString &)> replacement)
{
    player = std::move(replacement);
}
