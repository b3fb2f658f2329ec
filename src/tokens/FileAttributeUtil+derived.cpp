// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/FileAttributeUtil.h"

#include "core/Date.h"
#include "core/Int+format.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/Genre.h"

namespace FileAttributeUtil {

namespace {

QString ofText(qint64 number, qint64 total)
{
    if (total < 2)
        return Int::formatDecimal(number, 2);
    return Int::formatDecimal(number, 2) + QLatin1Char('/') + Int::formatDecimal(total, 2);
}

std::optional<qint64> wholeNumber(const QString& text)
{
    return Int::fromOptional(QVariant(text));
}

// The number stored under exactly `key`; none for a text or a date.
std::optional<qint64> existingNumber(const FileAttributeDictionary& attributes, const QString& key)
{
    const auto it = attributes.constFind(key);
    if (it == attributes.cend() || !it->attributeValue.numberValue())
        return std::nullopt;
    return FileAttributeValues::intValue(it->attributeValue);
}

// A 16-bit big-endian number at `offset`: iTunes keeps track and disc numbers,
// and their totals, in two bytes each, so numbers above 255 stay whole.
int bigEndian16(const QByteArray& data, int offset)
{
    return (quint8(data.at(offset)) << 8) | quint8(data.at(offset + 1));
}

using Write = void (*)(FileAttributeDictionary&, const QString&, const QVariant&);
void add(FileAttributeDictionary& attributes, const QString& id, const QVariant& value)
{
    AttributeDictionary::add(attributes, id, value);
}
void set(FileAttributeDictionary& attributes, const QString& id, const QVariant& value)
{
    AttributeDictionary::set(attributes, id, value);
}

// The writes of one track or disc text ("3/12"): how "media-sequence" and
// "media-sequence-total" are written decides which item wins.
struct SequenceRule {
    const char* id;
    Write sequence;
    Write sequenceTotal;
    Write total;
    Write of;
    const char* totalId;
    const char* ofId;
};

struct TotalRule {
    const char* id;
    Write sequenceTotal;
    Write of;
    const char* totalId;
    const char* numberId;
    const char* ofId;
    const char* removedId; // nullptr: nothing removed
};

bool applySequenceRule(const SequenceRule& rule, const QString& id, const QString& value, FileAttributeDictionary& attributes)
{
    if (id != QLatin1String(rule.id))
        return false;
    const auto numbers = extractTrackNumbers(value);
    if (!numbers)
        return true;
    rule.sequence(attributes, MediaAttribute::mediaSequence, numbers->track);
    set(attributes, id, numbers->track);
    if (numbers->total) {
        rule.sequenceTotal(attributes, MediaAttribute::mediaSequenceTotal, *numbers->total);
        rule.total(attributes, QLatin1String(rule.totalId), *numbers->total);
        rule.of(attributes, QLatin1String(rule.ofId), ofText(numbers->track, *numbers->total));
    }
    return true;
}

bool applyTotalRule(const TotalRule& rule, const QString& id, const QString& value, FileAttributeDictionary& attributes)
{
    if (id != QLatin1String(rule.id))
        return false;
    const auto total = wholeNumber(value);
    if (!total)
        return true;
    rule.sequenceTotal(attributes, MediaAttribute::mediaSequenceTotal, *total);
    set(attributes, QLatin1String(rule.totalId), *total);
    if (rule.removedId)
        attributes.remove(QLatin1String(rule.removedId));
    if (const auto number = existingNumber(attributes, QLatin1String(rule.numberId)))
        rule.of(attributes, QLatin1String(rule.ofId), ofText(*number, *total));
    return true;
}

} // namespace

std::optional<TrackNumbers> extractTrackNumbers(const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (pieces.size() == 1)
        return TrackNumbers { wholeNumber(pieces[0]).value_or(0), std::nullopt };
    if (pieces.size() == 2)
        return TrackNumbers { wholeNumber(pieces[0]).value_or(0), wholeNumber(pieces[1]) };
    return std::nullopt;
}

void avDataAttributes(const QString& id, const QByteArray& data, FileAttributeDictionary& attributes)
{
    const bool track = id == QLatin1String("AV-track-number");
    if (track || id == QLatin1String("AV-disc-number")) {
        if (data.size() < 6)
            return;
        const int number = bigEndian16(data, 2);
        const int total = bigEndian16(data, 4);
        set(attributes, id, number);
        set(attributes, id + QStringLiteral("-total"), total);
        set(attributes, id + QStringLiteral("-of"), ofText(number, total));
        const Write sequence = track ? &set : &add;
        sequence(attributes, MediaAttribute::mediaSequence, number);
        sequence(attributes, MediaAttribute::mediaSequenceTotal, total);
        return;
    }
    if (id == QLatin1String("AV-predefined-genre")) {
        if (data.size() < 2)
            return;
        const int genre = bigEndian16(data, 0);
        if (genre >= 1 && genre <= Genre::predefined().size())
            add(attributes, id, Genre::predefined().at(genre - 1));
        return;
    }
    if (data.isEmpty())
        return;
    if (id == QLatin1String("AV-cover-art"))
        add(attributes, id, QStringLiteral("Cover art available"));
    else
        add(attributes, id, data);
}

void aggregateDerivedMediaAttributes(const QString& id, const QString& value, FileAttributeDictionary& attributes)
{
    static const QStringList TITLE { "AV-title", "AV-song-name", "FLAC-Title", "id3-group", "id3-title" };
    static const QStringList ALBUM { "AV-album", "FLAC-Album", "id3-album" };
    static const QStringList ARTIST { "AV-artist", "AV-album-artist", "AV-composer", "AV-composer-name",
        "AV-performer", "AV-author", "FLAC-Artist", "id3-lead-performer", "id3-band", "id3-conductor", "id3-composer" };
    static const QStringList DATE { "FLAC-Date", "id3-year", "id3-recording-time" };
    if (TITLE.contains(id))
        add(attributes, MediaAttribute::mediaTitle, value);
    else if (ALBUM.contains(id))
        add(attributes, MediaAttribute::mediaAlbum, value);
    else if (ARTIST.contains(id))
        add(attributes, MediaAttribute::mediaArtist, value);
    else if (DATE.contains(id)) {
        if (const auto date = Date::iso8601Date(value))
            add(attributes, MediaAttribute::mediaDate, *date);
        else
            add(attributes, MediaAttribute::mediaDate, value);
    }
}

void aggregateDerivedID3SequenceAttributes(const QString& id, const QString& value, FileAttributeDictionary& attributes)
{
    static const SequenceRule SEQUENCES[] = {
        { "id3-track", &set, &add, &add, &add, "id3-track-total", "id3-track-of" },
        { "id3-disc", &add, &add, &set, &set, "id3-disc-total", "id3-disc-of" },
    };
    static const TotalRule TOTALS[] = {
        { "id3-track-total", &set, &add, "id3-track-total", "id3-track", "id3-track-of", nullptr },
        { "id3-disc-total", &add, &add, "id3-disc-total", "id3-disc", "id3-disc-of", nullptr },
    };
    for (const SequenceRule& rule : SEQUENCES) {
        if (applySequenceRule(rule, id, value, attributes))
            return;
    }
    for (const TotalRule& rule : TOTALS) {
        if (applyTotalRule(rule, id, value, attributes))
            return;
    }
}

void aggregateDerivedFLACSequenceAttributes(const QString& id, const QString& value, FileAttributeDictionary& attributes)
{
    static const SequenceRule SEQUENCES[] = {
        { "FLAC-Tracknumber", &set, &set, &set, &set, "FLAC-Tracknumber-Total", "FLAC-Tracknumber-Of" },
        { "FLAC-Discnumber", &add, &add, &set, &set, "FLAC-Discnumber-Total", "FLAC-Discnumber-Of" },
    };
    static const TotalRule TOTALS[] = {
        { "FLAC-Track-Total", &set, &set, "FLAC-Tracknumber-Total", "FLAC-Tracknumber", "FLAC-Tracknumber-Of", "FLAC-Track-Total" },
        { "FLAC-Tracknumber-Total", &set, &set, "FLAC-Tracknumber-Total", "FLAC-Tracknumber", "FLAC-Tracknumber-Of", "FLAC-Track-Total" },
        { "FLAC-Disc-Total", &add, &set, "FLAC-Discnumber-Total", "FLAC-Discnumber", "FLAC-Discnumber-Of", "FLAC-Disc-Total" },
        { "FLAC-Discnumber-Total", &add, &set, "FLAC-Discnumber-Total", "FLAC-Discnumber", "FLAC-Discnumber-Of", "FLAC-Disc-Total" },
    };
    for (const SequenceRule& rule : SEQUENCES) {
        if (applySequenceRule(rule, id, value, attributes))
            return;
    }
    for (const TotalRule& rule : TOTALS) {
        if (applyTotalRule(rule, id, value, attributes))
            return;
    }
}

} // namespace FileAttributeUtil
