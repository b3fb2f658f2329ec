// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/Sound.h"

#include <QFile>
#include <QtEndian>

#include <alsa/asoundlib.h>

#include <mutex>

namespace Sound {

namespace {

quint32 le32(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

quint16 le16(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

// ALSA reports a missing card on standard error; a missing sound is no news.
void quiet(const char*, int, const char*, int, const char*, ...) { }

} // namespace

QString resourcePath(const QString& name)
{
    return QStringLiteral(":/sounds/%1.wav").arg(name);
}

std::optional<Clip> decodeWav(const QByteArray& data)
{
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE")
        return std::nullopt;
    std::optional<Clip> clip;
    bool formatSeen = false;
    qsizetype at = 12;
    while (at + 8 <= data.size()) {
        const QByteArray id = data.mid(at, 4);
        const qint64 size = le32(data, at + 4);
        const qsizetype body = at + 8;
        if (size > data.size() - body)
            return std::nullopt;
        if (id == "fmt ") {
            // Format 1 is integer PCM.
            if (size < 16 || le16(data, body) != 1 || le16(data, body + 14) != 16)
                return std::nullopt;
            clip = Clip { le16(data, body + 2), int(le32(data, body + 4)), {} };
            formatSeen = clip->channels > 0 && clip->sampleRate > 0;
        } else if (id == "data" && formatSeen) {
            clip->frames = data.mid(body, size - size % (2 * clip->channels));
            return clip;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

void play(const QString& name)
{
    QFile file(resourcePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const std::optional<Clip> clip = decodeWav(file.readAll());
    if (!clip || clip->frames.isEmpty())
        return;
    static std::once_flag silenced;
    std::call_once(silenced, [] { snd_lib_error_set_handler(quiet); });
    snd_pcm_t* pcm = nullptr;
    // Not waiting for a device another program holds.
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return;
    const snd_pcm_uframes_t frameCount = clip->frames.size() / (2 * clip->channels);
    if (snd_pcm_nonblock(pcm, 0) == 0
        && snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, unsigned(clip->channels),
               unsigned(clip->sampleRate), 1, 100000)
            == 0) {
        snd_pcm_uframes_t written = 0;
        while (written < frameCount) {
            const char* from = clip->frames.constData() + written * 2 * clip->channels;
            snd_pcm_sframes_t n = snd_pcm_writei(pcm, from, frameCount - written);
            if (n < 0)
                n = snd_pcm_recover(pcm, int(n), 1);
            if (n < 0)
                break;
            written += snd_pcm_uframes_t(n);
        }
        snd_pcm_drain(pcm);
    }
    snd_pcm_close(pcm);
}

} // namespace Sound
