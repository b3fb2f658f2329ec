// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/Sound.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray wav(quint16 format, quint16 channels, quint16 bits, const QByteArray& samples, const QByteArray& extraChunk = {})
{
    const QByteArray fmt = le16(format) + le16(channels) + le32(8000) + le32(8000 * channels * bits / 8)
        + le16(channels * bits / 8) + le16(bits);
    QByteArray body = "WAVE" + QByteArray("fmt ") + le32(fmt.size()) + fmt + extraChunk + "data" + le32(samples.size()) + samples;
    return "RIFF" + le32(body.size()) + body;
}

} // namespace

TEST(Sound, theShippedDeleteSoundIsAShortPcmClip)
{
    QFile file(Sound::resourcePath(QStringLiteral("DeleteButton")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "built into the program";
    const auto clip = Sound::decodeWav(file.readAll());
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->channels, 1);
    EXPECT_GT(clip->sampleRate, 0);
    const double seconds = double(clip->frames.size()) / (2.0 * clip->sampleRate);
    EXPECT_GT(seconds, 0.05);
    EXPECT_LT(seconds, 1.0);
}

TEST(Sound, onlyWellFormedSixteenBitPcmDecodes)
{
    const QByteArray samples("\x01\x00\x02\x00\x03\x00", 6);
    const QByteArray odd = QByteArray("LIST") + le32(3) + QByteArray("abc") + QByteArray(1, '\0');
    const struct {
        const char* name;
        QByteArray data;
        bool decodes;
        qsizetype bytes;
    } cases[] = {
        { "mono", wav(1, 1, 16, samples), true, 6 },
        { "a padded chunk before the data", wav(1, 1, 16, samples, odd), true, 6 },
        { "a half frame at the end is dropped", wav(1, 2, 16, samples), true, 4 },
        { "8-bit", wav(1, 1, 8, samples), false, 0 },
        { "not integer PCM", wav(3, 1, 16, samples), false, 0 },
        { "cut short", wav(1, 1, 16, samples).chopped(3), false, 0 },
        { "not a WAV file", QByteArray("RIFX....WAVE"), false, 0 },
        { "empty", QByteArray(), false, 0 },
    };
    for (const auto& c : cases) {
        const auto clip = Sound::decodeWav(c.data);
        EXPECT_EQ(clip.has_value(), c.decodes) << c.name;
        if (clip)
            EXPECT_EQ(clip->frames.size(), c.bytes) << c.name;
    }
}
