// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Image, audio and video files made at test time: a tiny JPEG tagged through
// Exiv2, a HEIC image encoded by libheif, an MP3 of silent MPEG frames and a FLAC stream header tagged through
// TagLib, MP4 and QuickTime files muxed by libavformat. Header-only, so the
// benchmark and the fuzz loop build the same files.

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QString>
#include <QtEndian>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

#include <libheif/heif.h>

#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <functional>

namespace MediaFixtures {

// A 16 x 8 grey baseline JPEG.
inline QByteArray tinyJpeg()
{
    static const unsigned char bytes[] = {
        0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01,
        0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x50, 0x37, 0x3c, 0x46, 0x3c, 0x32, 0x50, 0x46, 0x41, 0x46, 0x5a,
        0x55, 0x50, 0x5f, 0x78, 0xc8, 0x82, 0x78, 0x6e, 0x6e, 0x78, 0xf5, 0xaf, 0xb9, 0x91, 0xc8, 0xff, 0xff, 0xff,
        0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
        0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
        0xff, 0xff, 0xc0, 0x00, 0x0b, 0x08, 0x00, 0x08, 0x00, 0x10, 0x01, 0x01, 0x11, 0x00, 0xff, 0xc4, 0x00, 0x15,
        0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x04, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3f, 0x00, 0x88,
        0x7f, 0xff, 0xd9,
    };
    return QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The JPEG with the EXIF data `tag` fills in, and the XMP data `xmpTag` fills in.
inline bool writeJpeg(const QString& path, const std::function<void(Exiv2::ExifData&)>& tag,
    const std::function<void(Exiv2::XmpData&)>& xmpTag = {})
{
    if (!writeBytes(path, tinyJpeg()))
        return false;
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path.toStdString());
        Exiv2::ExifData exif;
        tag(exif);
        image->setExifData(exif);
        if (xmpTag) {
            Exiv2::XmpData xmp;
            xmpTag(xmp);
            image->setXmpData(xmp);
        }
        image->writeMetadata();
        return true;
    } catch (const Exiv2::AnyError&) {
        return false;
    }
}

// A camera photo: make, model, exposure, flash, ISO, dates and a GPS position.
inline void cameraExif(Exiv2::ExifData& exif)
{
    exif["Exif.Image.Make"] = "Brackenfold Optics ";
    exif["Exif.Image.Model"] = "BF-1";
    exif["Exif.Image.Orientation"] = uint16_t(6);
    exif["Exif.Image.ImageNumber"] = uint32_t(42);
    exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 250);
    exif["Exif.Photo.FNumber"] = Exiv2::URational(28, 10);
    exif["Exif.Photo.FocalLength"] = Exiv2::URational(35, 1);
    exif["Exif.Photo.Flash"] = uint16_t(25);
    Exiv2::UShortValue iso;
    iso.read("100 400");
    exif.add(Exiv2::ExifKey("Exif.Photo.ISOSpeedRatings"), &iso);
    exif["Exif.Photo.DateTimeOriginal"] = "2023:05:01 12:00:00";
    exif["Exif.Photo.OffsetTimeOriginal"] = "+02:00";
    exif["Exif.Photo.SubSecTimeOriginal"] = "5";
    exif["Exif.Photo.LensModel"] = "BF 35mm F2.8";
    // A lower-case, blank-padded reference as some writers leave it.
    exif["Exif.GPSInfo.GPSLatitudeRef"] = "s ";
    Exiv2::URationalValue latitude;
    latitude.read("33/1 51/1 2460/100");
    exif.add(Exiv2::ExifKey("Exif.GPSInfo.GPSLatitude"), &latitude);
    exif["Exif.GPSInfo.GPSLongitudeRef"] = "E";
    Exiv2::URationalValue longitude;
    longitude.read("151/1 12/1 3600/100");
    exif.add(Exiv2::ExifKey("Exif.GPSInfo.GPSLongitude"), &longitude);
    exif["Exif.GPSInfo.GPSAltitude"] = Exiv2::URational(585, 10);
}

// A grey HEIC image with the EXIF data `tag` fills in (none when empty) and
// an XMP packet (none when empty). libheif pads a size the encoder cannot take
// (below 64 x 64) and crops it again through a one-tile grid.
inline bool writeHeic(const QString& path, int width, int height, const std::function<void(Exiv2::ExifData&)>& tag,
    const QByteArray& xmp = {})
{
    heif_init(nullptr);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* image = nullptr;
    heif_image_handle* handle = nullptr;
    bool ok = heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code == heif_error_Ok
        && heif_image_create(width, height, heif_colorspace_YCbCr, heif_chroma_420, &image).code == heif_error_Ok;
    const struct {
        heif_channel channel;
        int width;
        int height;
    } planes[] = { { heif_channel_Y, width, height }, { heif_channel_Cb, (width + 1) / 2, (height + 1) / 2 },
        { heif_channel_Cr, (width + 1) / 2, (height + 1) / 2 } };
    for (const auto& plane : planes) {
        ok = ok && heif_image_add_plane(image, plane.channel, plane.width, plane.height, 8).code == heif_error_Ok;
        int stride = 0;
        uint8_t* data = ok ? heif_image_get_plane(image, plane.channel, &stride) : nullptr;
        for (int row = 0; data && row < plane.height; ++row)
            std::fill_n(data + row * stride, plane.width, uint8_t(128));
    }
    ok = ok && heif_context_encode_image(context, image, encoder, nullptr, &handle).code == heif_error_Ok;
    if (ok && tag) {
        Exiv2::ExifData exif;
        tag(exif);
        Exiv2::Blob tiff;
        Exiv2::ExifParser::encode(tiff, Exiv2::littleEndian, exif);
        ok = tiff.empty() || heif_context_add_exif_metadata(context, handle, tiff.data(), int(tiff.size())).code == heif_error_Ok;
    }
    if (ok && !xmp.isEmpty())
        ok = heif_context_add_XMP_metadata(context, handle, xmp.constData(), int(xmp.size())).code == heif_error_Ok;
    const QByteArray name = QFile::encodeName(path);
    ok = ok && heif_context_write_to_file(context, name.constData()).code == heif_error_Ok;
    if (handle)
        heif_image_handle_release(handle);
    if (image)
        heif_image_release(image);
    if (encoder)
        heif_encoder_release(encoder);
    heif_context_free(context);
    heif_deinit();
    return ok;
}

// `frames` silent MPEG-1 layer III frames (128 kbit/s, 44.1 kHz): 417 bytes each.
inline QByteArray mp3Frames(int frames)
{
    QByteArray frame(417, '\0');
    frame[0] = char(0xff);
    frame[1] = char(0xfb);
    frame[2] = char(0x90);
    frame[3] = char(0x64);
    return frame.repeated(frames);
}

// An MP3 with ID3v2 text frames (frame id to texts), as ID3v2.4 or ID3v2.3.
inline bool writeMp3(const QString& path, const QMap<QByteArray, QStringList>& frames, int mpegFrames = 200,
    TagLib::ID3v2::Version version = TagLib::ID3v2::v4)
{
    if (!writeBytes(path, mp3Frames(mpegFrames)))
        return false;
    const QByteArray name = QFile::encodeName(path);
    TagLib::MPEG::File file(name.constData(), false);
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    for (auto it = frames.cbegin(); it != frames.cend(); ++it) {
        auto* frame = new TagLib::ID3v2::TextIdentificationFrame(TagLib::ByteVector(it.key().constData(), uint(it.key().size())),
            TagLib::String::UTF8);
        TagLib::StringList texts;
        for (const QString& text : it.value())
            texts.append(TagLib::String(text.toStdString(), TagLib::String::UTF8));
        frame->setText(texts);
        tag->addFrame(frame);
    }
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, version);
}

// An MP3 with an ID3v1 tag only, which `tag` fills in.
inline bool writeId3v1Mp3(const QString& path, const std::function<void(TagLib::ID3v1::Tag&)>& tag)
{
    if (!writeBytes(path, mp3Frames(50)))
        return false;
    const QByteArray name = QFile::encodeName(path);
    TagLib::MPEG::File file(name.constData(), false);
    tag(*file.ID3v1Tag(true));
    return file.save(TagLib::MPEG::File::ID3v1, TagLib::File::StripOthers);
}

// A second of silent 8 kHz mono WAV with a RIFF INFO tag, which `tag` fills in.
inline bool writeWav(const QString& path, const std::function<void(TagLib::RIFF::Info::Tag&)>& tag)
{
    const auto le32 = [](quint32 v) {
        QByteArray bytes(4, '\0');
        qToLittleEndian(v, bytes.data());
        return bytes;
    };
    const auto le16 = [](quint16 v) {
        QByteArray bytes(2, '\0');
        qToLittleEndian(v, bytes.data());
        return bytes;
    };
    const QByteArray samples(16000, '\0');
    QByteArray wav = "RIFF" + le32(quint32(36 + samples.size())) + "WAVE";
    wav += "fmt " + le32(16) + le16(1) + le16(1) + le32(8000) + le32(16000) + le16(2) + le16(16);
    wav += "data" + le32(quint32(samples.size())) + samples;
    if (!writeBytes(path, wav))
        return false;
    const QByteArray name = QFile::encodeName(path);
    TagLib::RIFF::WAV::File file(name.constData(), false);
    tag(*file.InfoTag());
    return file.save(TagLib::RIFF::WAV::File::Info, TagLib::File::StripOthers);
}

// A FLAC stream header (44.1 kHz stereo, `seconds` long) without audio frames,
// with Vorbis comments (field to texts).
inline bool writeFlac(const QString& path, const QMap<QString, QStringList>& fields, int seconds = 3)
{
    QByteArray flac("fLaC");
    QByteArray info(34, '\0');
    info[0] = 0x10; // minimum block size 4096
    info[2] = 0x10; // maximum block size 4096
    const quint64 samples = 44100ull * quint64(seconds);
    // 20 bits rate, 3 bits channels - 1, 5 bits bits per sample - 1, 36 bits samples.
    const quint64 packed = (quint64(44100) << 44) | (quint64(1) << 41) | (quint64(15) << 36) | samples;
    for (int i = 0; i < 8; ++i)
        info[10 + i] = char((packed >> (56 - 8 * i)) & 0xff);
    flac += char(0x80); // last metadata block: STREAMINFO
    flac += char(0);
    flac += char(0);
    flac += char(34);
    flac += info;
    if (!writeBytes(path, flac))
        return false;
    const QByteArray name = QFile::encodeName(path);
    TagLib::FLAC::File file(name.constData(), false);
    TagLib::Ogg::XiphComment* comment = file.xiphComment(true);
    for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
        for (const QString& text : it.value())
            comment->addField(it.key().toStdString(), TagLib::String(text.toStdString(), TagLib::String::UTF8), false);
    }
    return file.save();
}

// A QuickTime ("mov") or MPEG-4 ("mp4") file of `frames` JPEG frames at 25
// frames a second, with container metadata (key to text).
inline bool writeMovie(const QString& path, const char* format, const QMap<QString, QString>& metadata, int frames = 2)
{
    AVFormatContext* context = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (avformat_alloc_output_context2(&context, nullptr, format, name.constData()) < 0 || !context)
        return false;
    AVStream* stream = avformat_new_stream(context, nullptr);
    bool ok = stream != nullptr;
    if (ok) {
        stream->time_base = { 1, 25 };
        stream->avg_frame_rate = { 25, 1 };
        stream->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        stream->codecpar->codec_id = AV_CODEC_ID_MJPEG;
        stream->codecpar->width = 16;
        stream->codecpar->height = 8;
        stream->codecpar->format = AV_PIX_FMT_YUVJ420P;
        for (auto it = metadata.cbegin(); it != metadata.cend(); ++it)
            av_dict_set(&context->metadata, it.key().toUtf8().constData(), it.value().toUtf8().constData(), 0);
        ok = avio_open(&context->pb, name.constData(), AVIO_FLAG_WRITE) >= 0;
    }
    if (ok)
        ok = avformat_write_header(context, nullptr) >= 0;
    QByteArray jpeg = tinyJpeg();
    for (int i = 0; ok && i < frames; ++i) {
        AVPacket packet {};
        packet.data = reinterpret_cast<uint8_t*>(jpeg.data());
        packet.size = int(jpeg.size());
        packet.stream_index = 0;
        packet.flags = AV_PKT_FLAG_KEY;
        packet.pts = packet.dts = av_rescale_q(i, AVRational { 1, 25 }, stream->time_base);
        packet.duration = av_rescale_q(1, AVRational { 1, 25 }, stream->time_base);
        packet.pos = -1;
        ok = av_write_frame(context, &packet) >= 0;
    }
    if (ok)
        ok = av_write_trailer(context) >= 0;
    if (context->pb)
        avio_closep(&context->pb);
    avformat_free_context(context);
    return ok;
}

// The file with every `from` replaced by `to` (of the same length).
inline bool patchBytes(const QString& path, const QByteArray& from, const QByteArray& to)
{
    QFile file(path);
    if (from.size() != to.size() || !file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    if (!bytes.contains(from))
        return false;
    bytes.replace(from, to);
    return file.seek(0) && file.write(bytes) == bytes.size();
}

// MPEG-4 tags written by TagLib: title, track and disc pairs, and cover art.
inline bool tagMp4(const QString& path, const QString& title, std::pair<int, int> track, std::pair<int, int> disc)
{
    const QByteArray name = QFile::encodeName(path);
    TagLib::MP4::File file(name.constData(), false);
    if (!file.isValid())
        return false;
    TagLib::MP4::Tag* tag = file.tag();
    tag->setItem("\251nam", TagLib::StringList(TagLib::String(title.toStdString(), TagLib::String::UTF8)));
    tag->setItem("trkn", TagLib::MP4::Item(track.first, track.second));
    tag->setItem("disk", TagLib::MP4::Item(disc.first, disc.second));
    const QByteArray jpeg = tinyJpeg();
    TagLib::MP4::CoverArtList covers;
    covers.append(TagLib::MP4::CoverArt(TagLib::MP4::CoverArt::JPEG, TagLib::ByteVector(jpeg.constData(), uint(jpeg.size()))));
    tag->setItem("covr", covers);
    return file.save();
}

} // namespace MediaFixtures
