// Fuzz target: the hand-off message framing and the splitting of its text into paths.
#include "app/HandOff.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray received(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QByteArray text;
    const HandOff::TMessageState state = HandOff::ParseMessage(received, &text);
    // The bytes arrive in pieces: a shorter piece is never more than the whole.
    QByteArray early;
    const HandOff::TMessageState part = HandOff::ParseMessage(received.left(received.size() / 2), &early);
    if (state == HandOff::TMessageState::Incomplete && part != HandOff::TMessageState::Incomplete)
        std::abort();
    if (part == HandOff::TMessageState::Complete && (state != part || early != text))
        std::abort();
    if (state == HandOff::TMessageState::Complete
        && (text.size() > HandOff::MaxTextSize || HandOff::ParseMessage(HandOff::BuildMessage(text), nullptr) != state))
        std::abort();
    // Paths are never empty and survive another hand-off unchanged.
    const QStringList paths = HandOff::SplitText(state == HandOff::TMessageState::Complete ? text : received);
    for (const QString &path : paths)
        if (path.isEmpty())
            std::abort();
    if (HandOff::SplitText(HandOff::BuildText(paths)) != paths)
        std::abort();
    return 0;
}
