// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

// One metadata item of an audio or video file: its identifier, a key space, "/"
// and the percent-escaped key ("id3/TIT2", "vorb/TRACKNUMBER", "itsk/%A9nam",
// "itlk/com.apple.iTunes.iTunNORM", "udta/%A9xyz", "mdta/com.apple.quicktime.make"),
// and its value: a text or binary data.
struct MediaItem {
    QString identifier;
    QVariant value;
};

// What the first audio or video track tells.
struct MediaTrack {
    double dataRate = 0; // bits a second
    double frameRate = 0;
    double width = 0;
    double height = 0;
};

// The facts of an audio or video file: container facts from libavformat, tags
// with their raw identities from TagLib (libavformat's tags where TagLib cannot
// open the format). Reading catches every error of both libraries and gives up
// on a file that takes longer than a few seconds.
struct MediaAsset {
    QList<MediaItem> metadata;
    std::optional<QDateTime> creationDate;
    double duration = 0; // seconds; 0 when unknown
    std::optional<MediaTrack> firstTrack;
    std::optional<qint64> sampleRate; // of the first audio track

    // None, after logging why, when libavformat cannot open the file.
    static std::optional<MediaAsset> load(const QString& path);
    // The TagLib part alone, by extension; nothing for a format TagLib cannot open.
    static QList<MediaItem> tagItems(const QString& path);
    // The key of an identifier: bytes outside letters, digits and "-._~" as %XX.
    static QString escapedKey(const QByteArray& key);
};
