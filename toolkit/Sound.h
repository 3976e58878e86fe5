// Fire-and-forget playing of a WAV file by name.
#pragma once

#include <QString>
#include <functional>

// Starts playing the file and returns at once; a missing or unplayable file plays nothing.
// A relative name is taken against the process's current working folder at the moment of the call.
void PlaySoundAsync(const QString &fileName);

// Replaces the player (tests record the calls instead of making noise); an empty one restores it.
void SetSoundPlayer(std::function<void(const QString &absolutePath)> player);
