// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The program's own short sounds, built in as 16-bit PCM WAV files, played
// through the default ALSA device. Where there is no device, nothing sounds.
namespace Sound {

struct Clip {
    int channels = 0;
    int sampleRate = 0;
    QByteArray frames; // interleaved signed 16-bit little-endian samples
};

// The resource that holds the sound `name`.
QString resourcePath(const QString& name);
// None for anything but uncompressed 16-bit PCM.
std::optional<Clip> decodeWav(const QByteArray& data);
// Blocks until the sound has played; call it off the main thread.
void play(const QString& name);

} // namespace Sound
