// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/MediaAsset.h"

#include "platform/Log.h"
#include "tokens/Genre.h"
#include "tokens/ReadableFile.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
}

#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4atom.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>

namespace {

constexpr auto BACKGROUND = Log::Category::background;

void forwardAvLog(void*, int level, const char* format, va_list arguments)
{
    if (level > AV_LOG_ERROR || !Log::isEnabled(BACKGROUND, Log::Level::debug))
        return;
    char line[1024];
    vsnprintf(line, sizeof line, format, arguments);
    Log::debug(BACKGROUND, "libavformat: %s", QString::fromUtf8(line).trimmed());
}

void initializeLibav()
{
    static std::once_flag once;
    std::call_once(once, [] {
        av_log_set_level(AV_LOG_ERROR);
        av_log_set_callback(&forwardAvLog);
    });
}

QString text(const TagLib::String& string)
{
    return QString::fromStdString(string.to8Bit(true));
}

QByteArray bytes(const TagLib::ByteVector& vector)
{
    return QByteArray(vector.data(), int(vector.size()));
}

// Track and disc numbers as the 8 bytes of an iTunes atom: the number in bytes
// 2-3 and the total in bytes 4-5, big-endian.
QByteArray numberPair(int number, int total)
{
    QByteArray data(8, '\0');
    data[2] = char((number >> 8) & 0xff);
    data[3] = char(number & 0xff);
    data[4] = char((total >> 8) & 0xff);
    data[5] = char(total & 0xff);
    return data;
}

// A container's track or disc text ("3" or "3/12") as the bytes of an iTunes
// number pair; none when it holds no number.
std::optional<QByteArray> numberPairOf(const QString& value)
{
    const QStringList pieces = value.split(QLatin1Char('/'));
    bool ok = false;
    const int number = pieces.value(0).trimmed().toInt(&ok);
    if (!ok || pieces.size() > 2 || number < 0 || number > 0xffff)
        return std::nullopt;
    const int total = pieces.size() == 2 ? pieces[1].trimmed().toInt(&ok) : 0;
    return numberPair(number, ok && total >= 0 && total <= 0xffff ? total : 0);
}

// A numeric genre ("17" or "(17)") as its name.
QString genreName(const QString& genre)
{
    QString digits = genre;
    if (digits.startsWith(QLatin1Char('(')) && digits.endsWith(QLatin1Char(')')))
        digits = digits.mid(1, digits.size() - 2);
    bool ok = false;
    const int number = digits.toInt(&ok);
    if (ok && number >= 0 && number < Genre::predefined().size() && !digits.isEmpty() && digits.at(0).isDigit())
        return Genre::predefined().at(number);
    return genre;
}

// An ID3v2.3 tag keeps the year, the day and month and the time in TYER, TDAT
// and TIME; TagLib joins them into one recording time ("2019-05-01T12:30").
// That gives the year as TYER and, ahead of it, the whole date as the
// recording time (a time of day without a zone is read as UTC, as a bare date is).
void id3v23DateItems(const QString& recordingTime, QList<MediaItem>& items)
{
    static const QRegularExpression MINUTES(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}$"));
    items.append({ QStringLiteral("id3/TDRC"),
        MINUTES.match(recordingTime).hasMatch() ? recordingTime + QStringLiteral(":00Z") : recordingTime });
    items.append({ QStringLiteral("id3/TYER"), recordingTime.left(4) });
}

void id3Items(const TagLib::ID3v2::Tag* tag, QList<MediaItem>& items)
{
    if (!tag)
        return;
    const bool version3 = tag->header() && tag->header()->majorVersion() <= 3;
    for (const TagLib::ID3v2::Frame* frame : tag->frameList()) {
        const QString identifier = QStringLiteral("id3/") + MediaAsset::escapedKey(bytes(frame->frameID()));
        if (const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame)) {
            items.append({ identifier, bytes(picture->picture()) });
        } else if (version3 && frame->frameID() == "TDRC") {
            id3v23DateItems(text(frame->toString()), items);
        } else if (const auto* textFrame = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frame)) {
            const bool genre = frame->frameID() == "TCON";
            for (const TagLib::String& value : textFrame->fieldList())
                items.append({ identifier, genre ? genreName(text(value)) : text(value) });
        } else if (const QString value = text(frame->toString()); !value.isEmpty()) {
            items.append({ identifier, value });
        }
    }
}

// An ID3v1 tag's fields, as the ID3v2 frames that hold the same facts.
void id3v1Items(const TagLib::ID3v1::Tag* tag, QList<MediaItem>& items)
{
    if (!tag)
        return;
    const std::pair<const char*, QString> fields[] = {
        { "id3/TIT2", text(tag->title()).trimmed() },
        { "id3/TPE1", text(tag->artist()).trimmed() },
        { "id3/TALB", text(tag->album()).trimmed() },
        { "id3/TYER", tag->year() > 0 ? QString::number(tag->year()) : QString() },
        { "id3/TRCK", tag->track() > 0 ? QString::number(tag->track()) : QString() },
        { "id3/TCON", text(tag->genre()).trimmed() },
    };
    for (const auto& [identifier, value] : fields) {
        if (!value.isEmpty())
            items.append({ QLatin1String(identifier), value });
    }
}

void xiphItems(const TagLib::Ogg::XiphComment* comment, QList<MediaItem>& items)
{
    if (!comment)
        return;
    const TagLib::Ogg::FieldListMap fields = comment->fieldListMap();
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const QString identifier = QStringLiteral("vorb/") + MediaAsset::escapedKey(QByteArray::fromStdString(it->first.to8Bit(true)));
        for (const TagLib::String& value : it->second)
            items.append({ identifier, text(value) });
    }
}

// Freeform items are keyed "----:mean:name", as TagLib keys them.
QByteArray freeformKey(const QByteArray& atom)
{
    QByteArray mean;
    QByteArray name;
    qsizetype position = 8;
    while (position + 12 <= atom.size()) {
        const qsizetype size = qsizetype(qFromBigEndian<quint32>(atom.constData() + position));
        if (size < 12 || position + size > atom.size())
            break;
        const QByteArray type = atom.mid(position + 4, 4);
        if (type == "mean")
            mean = atom.mid(position + 12, size - 12);
        else if (type == "name")
            name = atom.mid(position + 12, size - 12);
        position += size;
    }
    return "----:" + mean + ':' + name;
}

// The items of the "ilst" atom as the file lists them: TagLib hands them over
// sorted by key, and which title or artist comes first decides the "media-"
// attributes. A numeric genre ("gnre") keeps its two bytes, which TagLib turns
// into a genre text.
struct IlstItem {
    QByteArray key;
    QByteArray genre; // the "gnre" item's number, two bytes
};

QList<IlstItem> ilstItems(TagLib::MP4::File& file)
{
    // Atoms larger than this are pictures or damage; their keys need no reading.
    constexpr long LARGEST_READ = 64 * 1024;
    QList<IlstItem> listed;
    TagLib::MP4::Atoms atoms(&file);
    TagLib::MP4::Atom* ilst = atoms.find("moov", "udta", "meta", "ilst");
    if (!ilst)
        return listed;
    for (const TagLib::MP4::Atom* atom : ilst->children) {
        IlstItem item { bytes(atom->name), {} };
        const bool freeform = item.key == "----";
        if ((freeform || item.key == "gnre") && atom->length > 0 && atom->length <= LARGEST_READ) {
            file.seek(atom->offset);
            const QByteArray content = bytes(file.readBlock(atom->length));
            if (freeform)
                item.key = freeformKey(content);
            else if (content.size() >= 26 && content.mid(12, 4) == "data")
                item.genre = content.mid(24, 2);
        }
        listed.append(item);
    }
    return listed;
}

void mp4Item(const QByteArray& key, const TagLib::MP4::Item& item, QList<MediaItem>& items)
{
    // Item keys are Latin-1: "\xA9nam" is escaped to "%A9nam".
    QString identifier;
    static const QByteArray FREEFORM("----:");
    if (key.startsWith(FREEFORM))
        identifier = QStringLiteral("itlk/") + QString::fromLatin1(key.mid(FREEFORM.size())).replace(QLatin1Char(':'), QLatin1Char('.'));
    else
        identifier = QStringLiteral("itsk/") + MediaAsset::escapedKey(key);
    if (key == "trkn" || key == "disk") {
        const TagLib::MP4::Item::IntPair pair = item.toIntPair();
        items.append({ identifier, numberPair(pair.first, pair.second) });
    } else if (key == "covr") {
        const TagLib::MP4::CoverArtList covers = item.toCoverArtList();
        if (!covers.isEmpty())
            items.append({ identifier, bytes(covers.front().data()) });
    } else if (const TagLib::StringList strings = item.toStringList(); !strings.isEmpty()) {
        for (const TagLib::String& value : strings)
            items.append({ identifier, text(value) });
    } else if (item.isValid()) {
        items.append({ identifier, QString::number(item.toLongLong()) });
    }
}

void mp4Items(TagLib::MP4::File& file, QList<MediaItem>& items)
{
    const TagLib::MP4::Tag* tag = file.tag();
    if (!tag)
        return;
    const TagLib::MP4::ItemMap& map = tag->itemMap();
    const QList<IlstItem> listed = ilstItems(file);
    const QByteArray GENRE_TEXT("\xA9gen");
    const bool genreText = std::any_of(listed.cbegin(), listed.cend(), [&](const IlstItem& i) { return i.key == GENRE_TEXT; });
    QSet<QByteArray> done;
    for (const IlstItem& listedItem : listed) {
        if (done.contains(listedItem.key))
            continue;
        done.insert(listedItem.key);
        if (listedItem.key == "gnre") {
            if (listedItem.genre.size() == 2)
                items.append({ QStringLiteral("itsk/gnre"), listedItem.genre });
            continue;
        }
        const TagLib::String key(listedItem.key.toStdString(), TagLib::String::Latin1);
        if (map.contains(key))
            mp4Item(listedItem.key, map[key], items);
    }
    // Items the walk did not find keep TagLib's order; a genre text that TagLib
    // made from the numeric genre is not the file's.
    for (auto it = map.begin(); it != map.end(); ++it) {
        const QByteArray key = QByteArray::fromStdString(it->first.to8Bit(false));
        if (done.contains(key) || (key == GENRE_TEXT && !genreText && done.contains("gnre")))
            continue;
        mp4Item(key, it->second, items);
    }
}

template <typename OggFile>
bool oggItems(TagLib::IOStream* stream, QList<MediaItem>& items)
{
    stream->seek(0); // after another kind's attempt
    OggFile file(stream, false);
    if (!file.isValid())
        return false;
    xiphItems(file.tag(), items);
    return true;
}

bool isLocationKey(const QString& key)
{
    return key == QLatin1String("location") || key.endsWith(QLatin1String(".location.ISO6709"));
}

// libavformat's flattened names of QuickTime and RIFF tags as identifiers. It
// gives a QuickTime file's user data atoms and iTunes items, and a RIFF file's
// INFO, the same names: the artist, album, date, genre, track and disc are
// read as the iTunes items the catalog lists, the others as user data. Both
// QuickTime forms of a location are the one location item.
QString containerIdentifier(const QString& key)
{
    if (isLocationKey(key))
        return QStringLiteral("udta/%A9xyz");
    static const QMap<QString, QString> ITUNES_ITEMS {
        // An AVI file's album (INFO "IPRD") arrives as "product".
        { "artist", "%A9ART" }, { "album_artist", "aART" }, { "album", "%A9alb" }, { "product", "%A9alb" }, { "date", "%A9day" },
        { "genre", "%A9gen" }, { "track", "trkn" }, { "disc", "disk" },
    };
    if (const auto it = ITUNES_ITEMS.constFind(key); it != ITUNES_ITEMS.cend())
        return QStringLiteral("itsk/") + *it;
    static const QMap<QString, QString> USER_DATA {
        { "title", "%A9nam" }, { "composer", "%A9com" }, { "performer", "%A9prf" }, { "author", "%A9aut" },
        { "comment", "%A9cmt" }, { "copyright", "%A9cpy" }, { "encoder", "%A9swr" },
    };
    if (const auto it = USER_DATA.constFind(key); it != USER_DATA.cend())
        return QStringLiteral("udta/") + *it;
    if (key.contains(QLatin1Char('.')))
        return QStringLiteral("mdta/") + key;
    return QStringLiteral("avfm/") + MediaAsset::escapedKey(key.toUtf8());
}

struct FormatContext {
    AVFormatContext* context = nullptr;
    ~FormatContext()
    {
        if (context)
            avformat_close_input(&context);
    }
};

} // namespace

QString MediaAsset::escapedKey(const QByteArray& key)
{
    static const char HEX[] = "0123456789ABCDEF";
    QString escaped;
    for (const char c : key) {
        const auto byte = quint8(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') || byte == '-'
            || byte == '.' || byte == '_' || byte == '~') {
            escaped += QLatin1Char(c);
        } else {
            escaped += QLatin1Char('%');
            escaped += QLatin1Char(HEX[byte >> 4]);
            escaped += QLatin1Char(HEX[byte & 0xf]);
        }
    }
    return escaped;
}

QList<MediaItem> MediaAsset::tagItems(const QString& path)
{
    QList<MediaItem> items;
    const std::unique_ptr<ReadableFile> readable = ReadableFile::open(path, ReadableFile::TAG_LIMITS);
    if (!readable)
        return items;
    const std::unique_ptr<TagLib::IOStream> stream = readable->tagLibStream();
    const QString extension = QFileInfo(path).suffix().toLower();
    try {
        if (extension == QLatin1String("mp3")) {
            TagLib::MPEG::File file(stream.get(), TagLib::ID3v2::FrameFactory::instance(), false);
            if (file.isValid())
                id3Items(file.ID3v2Tag(false), items);
            if (file.isValid() && items.isEmpty())
                id3v1Items(file.ID3v1Tag(false), items);
        } else if (extension == QLatin1String("wav")) {
            TagLib::RIFF::WAV::File file(stream.get(), false);
            if (file.isValid() && file.hasID3v2Tag())
                id3Items(file.ID3v2Tag(), items);
        } else if (extension == QLatin1String("flac")) {
            TagLib::FLAC::File file(stream.get(), TagLib::ID3v2::FrameFactory::instance(), false);
            if (file.isValid())
                xiphItems(file.xiphComment(false), items);
        } else if (extension == QLatin1String("ogg")) {
            oggItems<TagLib::Ogg::Vorbis::File>(stream.get(), items) || oggItems<TagLib::Ogg::Opus::File>(stream.get(), items)
                || oggItems<TagLib::Ogg::FLAC::File>(stream.get(), items);
        } else if (extension == QLatin1String("m4a") || extension == QLatin1String("m4p")
            || extension == QLatin1String("mp4")) {
            TagLib::MP4::File file(stream.get(), false);
            if (file.isValid())
                mp4Items(file, items);
        }
    } catch (const std::exception& error) {
        Log::debug(BACKGROUND, "Tags of %s not read: %s", path, error.what());
        items.clear();
    } catch (...) {
        items.clear();
    }
    return items;
}

namespace {
// Bits a second of the stream's bytes from its first packet to the end of the
// file; 0 when that is unknown. Only the first few packets are looked at (a
// cover picture comes first).
double streamRateFromFirstPacket(AVFormatContext* context, int streamIndex, double duration)
{
    const int64_t size = avio_size(context->pb);
    if (streamIndex < 0 || duration <= 0 || size <= 0)
        return 0;
    AVPacket* packet = av_packet_alloc();
    if (!packet)
        return 0;
    int64_t start = -1;
    for (int read = 0; read < 8 && av_read_frame(context, packet) >= 0; ++read) {
        const bool found = packet->stream_index == streamIndex;
        if (found)
            start = packet->pos;
        av_packet_unref(packet);
        if (found)
            break;
    }
    av_packet_free(&packet);
    return start >= 0 && start < size ? double(size - start) * 8.0 / duration : 0;
}
} // namespace

std::optional<MediaAsset> MediaAsset::load(const QString& path)
{
    initializeLibav();
    // Declared first: the format context reads through it until it is closed.
    const std::unique_ptr<ReadableFile> readable = ReadableFile::open(path, ReadableFile::CONTAINER_LIMITS);
    if (!readable)
        return std::nullopt;
    FormatContext format;
    format.context = avformat_alloc_context();
    if (!format.context || !readable->attachTo(format.context))
        return std::nullopt;
    // Metadata needs little of the stream: bound what the probing reads.
    format.context->probesize = 2 * 1024 * 1024;
    format.context->max_analyze_duration = 2 * AV_TIME_BASE;
    const QByteArray local = QFile::encodeName(path);
    int status = avformat_open_input(&format.context, local.constData(), nullptr, nullptr);
    if (status >= 0)
        status = avformat_find_stream_info(format.context, nullptr);
    if (status < 0) {
        char message[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(status, message, sizeof message);
        Log::error(BACKGROUND, "Failed to load AVAsset data: %@", QString::fromUtf8(message));
        return std::nullopt;
    }
    const AVFormatContext* context = format.context;

    MediaAsset asset;
    if (context->duration != AV_NOPTS_VALUE && context->duration > 0)
        asset.duration = double(context->duration) / AV_TIME_BASE;

    int avStreams = 0;
    int firstTrackStream = -1;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        const AVCodecParameters* codec = stream->codecpar;
        const bool video = codec->codec_type == AVMEDIA_TYPE_VIDEO && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC);
        const bool audio = codec->codec_type == AVMEDIA_TYPE_AUDIO;
        if (!video && !audio)
            continue;
        ++avStreams;
        if (audio && !asset.sampleRate && codec->sample_rate > 0)
            asset.sampleRate = codec->sample_rate;
        if (asset.firstTrack)
            continue;
        MediaTrack track;
        track.dataRate = double(codec->bit_rate);
        if (video) {
            const AVRational rate = stream->avg_frame_rate.den > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
            track.frameRate = rate.den > 0 ? av_q2d(rate) : 0;
            track.width = codec->width;
            track.height = codec->height;
        }
        asset.firstTrack = track;
        firstTrackStream = int(i);
    }
    // A stream without a rate of its own, alone in its file: the bytes from
    // its first packet on. The file's own rate would count what comes before,
    // such as a FLAC file's pictures.
    if (asset.firstTrack && asset.firstTrack->dataRate <= 0 && avStreams == 1) {
        const double rate = streamRateFromFirstPacket(format.context, firstTrackStream, asset.duration);
        asset.firstTrack->dataRate = rate > 0 ? rate : double(std::max<int64_t>(context->bit_rate, 0));
    }

    const QString extension = QFileInfo(path).suffix().toLower();
    const bool tagsFromContainer = extension == QLatin1String("mov") || extension == QLatin1String("avi");
    QList<MediaItem> containerTags;
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(context->metadata, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        const QString key = QString::fromUtf8(entry->key);
        const QString value = QString::fromUtf8(entry->value);
        if (key == QLatin1String("creation_time")) {
            const QDateTime date = QDateTime::fromString(value, Qt::ISODateWithMs);
            if (date.isValid())
                asset.creationDate = date;
            continue;
        }
        const QString identifier = containerIdentifier(key);
        if (identifier == QLatin1String("itsk/trkn") || identifier == QLatin1String("itsk/disk")) {
            if (const auto pair = numberPairOf(value))
                containerTags.append({ identifier, *pair });
        } else if (isLocationKey(key)) {
            asset.metadata.append({ identifier, value });
        } else {
            containerTags.append({ identifier, value });
        }
    }
    // A WAV file without ID3v2 tags has its RIFF INFO read as the container's tags.
    const QList<MediaItem> tags = tagsFromContainer ? QList<MediaItem>() : tagItems(path);
    const bool wavInfo = extension == QLatin1String("wav") && tags.isEmpty();
    asset.metadata.append(tagsFromContainer || wavInfo ? containerTags : tags);
    return asset;
}
