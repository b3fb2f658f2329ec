// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/ImageProperties.h"

#include "platform/Log.h"
#include "tokens/ReadableFile.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QtEndian>
#include <QVariantList>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#include <exiv2/webpimage.hpp>
#pragma GCC diagnostic pop

#include <libheif/heif.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <mutex>
#include <vector>

namespace ImageProperties {

namespace {

enum class Kind { integer, integers, real, text, dateTime, coordinate, reference };

struct Entry {
    const char* dictionary; // "" for a top-level property
    const char* name;
    const char* exiv2Key;
    Kind kind;
};

const Entry ENTRIES[] = {
    { "", "Orientation", "Exif.Image.Orientation", Kind::integer },
    { "{TIFF}", "Make", "Exif.Image.Make", Kind::text },
    { "{TIFF}", "Model", "Exif.Image.Model", Kind::text },
    { "{TIFF}", "Software", "Exif.Image.Software", Kind::text },
    { "{TIFF}", "DateTime", "Exif.Image.DateTime", Kind::dateTime },
    { "{TIFF}", "Artist", "Exif.Image.Artist", Kind::text },
    { "{TIFF}", "Copyright", "Exif.Image.Copyright", Kind::text },
    { "{TIFF}", "Orientation", "Exif.Image.Orientation", Kind::integer },
    { "{Exif}", "ExposureTime", "Exif.Photo.ExposureTime", Kind::real },
    { "{Exif}", "FNumber", "Exif.Photo.FNumber", Kind::real },
    { "{Exif}", "ExposureProgram", "Exif.Photo.ExposureProgram", Kind::integer },
    { "{Exif}", "ISOSpeedRatings", "Exif.Photo.ISOSpeedRatings", Kind::integers },
    { "{Exif}", "DateTimeOriginal", "Exif.Photo.DateTimeOriginal", Kind::dateTime },
    { "{Exif}", "DateTimeDigitized", "Exif.Photo.DateTimeDigitized", Kind::dateTime },
    { "{Exif}", "OffsetTime", "Exif.Photo.OffsetTime", Kind::text },
    { "{Exif}", "OffsetTimeOriginal", "Exif.Photo.OffsetTimeOriginal", Kind::text },
    { "{Exif}", "OffsetTimeDigitized", "Exif.Photo.OffsetTimeDigitized", Kind::text },
    { "{Exif}", "SubsecTimeOriginal", "Exif.Photo.SubSecTimeOriginal", Kind::text },
    { "{Exif}", "SubsecTimeDigitized", "Exif.Photo.SubSecTimeDigitized", Kind::text },
    { "{Exif}", "ExposureBiasValue", "Exif.Photo.ExposureBiasValue", Kind::real },
    { "{Exif}", "MeteringMode", "Exif.Photo.MeteringMode", Kind::integer },
    { "{Exif}", "Flash", "Exif.Photo.Flash", Kind::integer },
    { "{Exif}", "FocalLength", "Exif.Photo.FocalLength", Kind::real },
    { "{Exif}", "FocalLenIn35mmFilm", "Exif.Photo.FocalLengthIn35mmFilm", Kind::integer },
    { "{Exif}", "WhiteBalance", "Exif.Photo.WhiteBalance", Kind::integer },
    { "{Exif}", "PixelXDimension", "Exif.Photo.PixelXDimension", Kind::integer },
    { "{Exif}", "PixelYDimension", "Exif.Photo.PixelYDimension", Kind::integer },
    { "{Exif}", "LensMake", "Exif.Photo.LensMake", Kind::text },
    { "{Exif}", "LensModel", "Exif.Photo.LensModel", Kind::text },
    { "{Exif}", "BodySerialNumber", "Exif.Photo.BodySerialNumber", Kind::text },
    { "{ExifAux}", "ImageNumber", "Exif.Image.ImageNumber", Kind::integer },
    // The same tag in the EXIF sub-IFD, where some writers put it.
    { "{ExifAux}", "ImageNumber", "Exif.Photo.0x9211", Kind::integer },
    { "{GPS}", "Latitude", "Exif.GPSInfo.GPSLatitude", Kind::coordinate },
    { "{GPS}", "LatitudeRef", "Exif.GPSInfo.GPSLatitudeRef", Kind::reference },
    { "{GPS}", "Longitude", "Exif.GPSInfo.GPSLongitude", Kind::coordinate },
    { "{GPS}", "LongitudeRef", "Exif.GPSInfo.GPSLongitudeRef", Kind::reference },
    { "{GPS}", "Altitude", "Exif.GPSInfo.GPSAltitude", Kind::real },
    { "{GPS}", "AltitudeRef", "Exif.GPSInfo.GPSAltitudeRef", Kind::integer },
};

// The still-image formats whose metadata is read. Exiv2 also recognises video
// containers (QuickTime, RIFF, Matroska, ASF), EPS and XMP sidecars by their
// content; its readers of those corrupt memory on damaged files, and a file
// named like a photo may hold any of them.
bool isStillImage(int imageType)
{
    switch (imageType) {
    case Exiv2::ImageType::jpeg:
    case Exiv2::ImageType::exv:
    case Exiv2::ImageType::crw:
    case Exiv2::ImageType::tiff:
    case Exiv2::ImageType::mrw:
    case Exiv2::ImageType::png:
    case Exiv2::ImageType::cr2:
    case Exiv2::ImageType::raf:
    case Exiv2::ImageType::orf:
    case Exiv2::ImageType::gif:
    case Exiv2::ImageType::psd:
    case Exiv2::ImageType::tga:
    case Exiv2::ImageType::bmp:
    case Exiv2::ImageType::jp2:
    case Exiv2::ImageType::rw2:
    case Exiv2::ImageType::pgf:
    case Exiv2::ImageType::bmff:
    case Exiv2::ImageType::webp:
        return true;
    default:
        return false;
    }
}

// Exiv2 writes its warnings to standard error unless told otherwise.
void forwardExiv2Log(int level, const char* message)
{
    QString text = QString::fromUtf8(message).trimmed();
    Log::debug(Log::Category::background, "Exiv2 (%ld): %s", level, text);
}

void initializeExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::warn);
        Exiv2::LogMsg::setHandler(&forwardExiv2Log);
        // HEIF, AVIF and CR3 files are read only when asked for; the XMP toolkit
        // must be set up once before threads use it.
        Exiv2::enableBMFF(true);
        Exiv2::XmpParser::initialize();
    });
}

// Text tags are padded with NULs or blanks by many cameras.
QString text(const Exiv2::Exifdatum& datum)
{
    QString value = QString::fromUtf8(datum.toString());
    const qsizetype nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    return value.trimmed();
}

bool isText(const Exiv2::Exifdatum& datum)
{
    return datum.typeId() == Exiv2::asciiString || datum.typeId() == Exiv2::string;
}

// Numbers that some writers store as text ("52,0,50.1" or "52/1 0/1 501/10");
// Exiv2 would read each character's code instead.
QStringList numberTexts(const Exiv2::Exifdatum& datum)
{
    static const QRegularExpression SEPARATORS(QStringLiteral("[,;\\s]+"));
    return text(datum).split(SEPARATORS, Qt::SkipEmptyParts);
}

std::optional<double> realFromText(const QString& piece)
{
    const QStringList parts = piece.split(QLatin1Char('/'));
    if (parts.size() > 2)
        return std::nullopt;
    bool ok = false;
    double value = QLocale::c().toDouble(parts[0], &ok);
    if (ok && parts.size() == 2) {
        const double denominator = QLocale::c().toDouble(parts[1], &ok);
        if (!ok || denominator == 0)
            return std::nullopt;
        value /= denominator;
    }
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

long numberCount(const Exiv2::Exifdatum& datum)
{
    return isText(datum) ? long(numberTexts(datum).size()) : datum.count();
}

// The value as a double; none for a zero denominator or a value that is no number.
std::optional<double> real(const Exiv2::Exifdatum& datum, long n)
{
    if (isText(datum)) {
        const QStringList pieces = numberTexts(datum);
        return n < pieces.size() ? realFromText(pieces[n]) : std::nullopt;
    }
    if (datum.count() <= n)
        return std::nullopt;
    switch (datum.typeId()) {
    case Exiv2::unsignedRational: {
        const Exiv2::Rational r = datum.toRational(n);
        if (r.second == 0)
            return std::nullopt;
        return double(static_cast<uint32_t>(r.first)) / double(static_cast<uint32_t>(r.second));
    }
    case Exiv2::signedRational: {
        const Exiv2::Rational r = datum.toRational(n);
        if (r.second == 0)
            return std::nullopt;
        return double(r.first) / double(r.second);
    }
    default: {
        const double d = datum.toFloat(n);
        return std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
    }
    }
}

std::optional<qint64> integer(const Exiv2::Exifdatum& datum, long n)
{
    if (numberCount(datum) <= n)
        return std::nullopt;
    switch (datum.typeId()) {
    case Exiv2::unsignedByte:
    case Exiv2::unsignedShort:
    case Exiv2::unsignedLong:
    case Exiv2::signedByte:
    case Exiv2::signedShort:
    case Exiv2::signedLong:
    case Exiv2::tiffIfd:
        return qint64(datum.toLong(n));
    default:
        // A whole number stored as a rational or a text still counts.
        if (const auto d = real(datum, n); d && *d == std::trunc(*d) && std::abs(*d) < 9.0e15)
            return qint64(*d);
        return std::nullopt;
    }
}

// Cameras write "0000:00:00 00:00:00" or blanks for a date they do not know.
bool isUnknownDate(const QString& value)
{
    return std::all_of(value.cbegin(), value.cend(), [](QChar c) {
        return c == QLatin1Char('0') || c == QLatin1Char(':') || c == QLatin1Char(' ');
    });
}

QVariant valueOf(const Exiv2::Exifdatum& datum, Kind kind)
{
    switch (kind) {
    case Kind::integer:
        if (const auto n = integer(datum, 0))
            return *n;
        return {};
    case Kind::integers: {
        QVariantList list;
        for (long i = 0; i < numberCount(datum); ++i) {
            if (const auto n = integer(datum, i))
                list << *n;
        }
        return list.isEmpty() ? QVariant() : QVariant(list);
    }
    case Kind::real:
        if (const auto d = real(datum, 0))
            return *d;
        return {};
    case Kind::text: {
        const QString value = text(datum);
        return value.isEmpty() ? QVariant() : QVariant(value);
    }
    case Kind::dateTime: {
        const QString value = text(datum);
        return isUnknownDate(value) ? QVariant() : QVariant(value);
    }
    case Kind::coordinate: {
        // Degrees, minutes and seconds; some writers leave the seconds out.
        double degrees = 0;
        const double factors[] = { 1.0, 60.0, 3600.0 };
        const long count = numberCount(datum);
        for (long i = 0; i < 3 && i < count; ++i) {
            const auto part = real(datum, i);
            if (!part)
                return {};
            degrees += *part / factors[i];
        }
        if (count == 0 || !std::isfinite(degrees))
            return {};
        return degrees;
    }
    case Kind::reference: {
        // "n", "N " or "N\0" all name the northern hemisphere.
        const QString value = text(datum).toUpper();
        return value.isEmpty() ? QVariant() : QVariant(value.left(1));
    }
    }
    return {};
}

// Altitude 1 means below sea level. A latitude beyond 90 or a longitude beyond
// 180 degrees is a damaged tag, not a position: the position is absent.
void applyGpsRules(QVariantMap& gps)
{
    const QString ALTITUDE = QStringLiteral("Altitude");
    if (gps.value(QStringLiteral("AltitudeRef")).toLongLong() == 1 && gps.contains(ALTITUDE))
        gps.insert(ALTITUDE, -std::abs(gps.value(ALTITUDE).toDouble()));
    const auto within = [&](const char* name, double limit) {
        const QVariant value = gps.value(QLatin1String(name));
        return !value.isValid() || std::abs(value.toDouble()) <= limit;
    };
    if (!within("Latitude", 90.0) || !within("Longitude", 180.0)) {
        for (const char* name : { "Latitude", "LatitudeRef", "Longitude", "LongitudeRef" })
            gps.remove(QLatin1String(name));
    }
}

// What libheif reads of a HEIF or AVIF file: Exiv2 0.27 finds neither its
// Exif nor its XMP block, and takes the first tile's size for a grid image's.
struct HeifFacts {
    int width = 0;
    int height = 0;
    QByteArray exif; // the Exif block: the offset of its TIFF header, then the header
    QByteArray xmp;
};

// Metadata blocks larger than this are damage, not EXIF or XMP.
constexpr size_t LARGEST_METADATA_BLOCK = 4 * 1024 * 1024;

QByteArray heifMetadata(const heif_image_handle* handle, const char* type, const char* contentType)
{
    const int count = heif_image_handle_get_number_of_metadata_blocks(handle, type);
    if (count <= 0)
        return {};
    std::vector<heif_item_id> ids(static_cast<size_t>(count));
    const int listed = heif_image_handle_get_list_of_metadata_block_IDs(handle, type, ids.data(), count);
    for (int i = 0; i < listed; ++i) {
        if (contentType && qstrcmp(heif_image_handle_get_metadata_content_type(handle, ids[i]), contentType) != 0)
            continue;
        const size_t size = heif_image_handle_get_metadata_size(handle, ids[i]);
        if (size == 0 || size > LARGEST_METADATA_BLOCK)
            continue;
        QByteArray block(qsizetype(size), Qt::Uninitialized);
        if (heif_image_handle_get_metadata(handle, ids[i], block.data()).code == heif_error_Ok)
            return block;
    }
    return {};
}

std::optional<HeifFacts> readHeif(const QString& path)
{
    static std::once_flag once;
    std::call_once(once, [] { heif_init(nullptr); });
    const std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(), &heif_context_free);
    if (!context)
        return std::nullopt;
    const QByteArray local = QFile::encodeName(path);
    if (heif_context_read_from_file(context.get(), local.constData(), nullptr).code != heif_error_Ok)
        return std::nullopt;
    heif_image_handle* primary = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &primary).code != heif_error_Ok || !primary)
        return std::nullopt;
    const std::unique_ptr<heif_image_handle, decltype(&heif_image_handle_release)> handle(primary, &heif_image_handle_release);
    HeifFacts facts;
    facts.width = heif_image_handle_get_width(handle.get());
    facts.height = heif_image_handle_get_height(handle.get());
    facts.exif = heifMetadata(handle.get(), "Exif", nullptr);
    facts.xmp = heifMetadata(handle.get(), "mime", "application/rdf+xml");
    return facts;
}

// The Exif block of a HEIF file through Exiv2's own parser.
Exiv2::ExifData decodeHeifExif(const QByteArray& block)
{
    Exiv2::ExifData exif;
    if (block.size() < 4)
        return exif;
    const quint64 start = 4 + quint64(qFromBigEndian<quint32>(block.constData()));
    if (start + 8 > quint64(block.size()))
        return exif;
    const QByteArray tiff = block.mid(qsizetype(start));
    if (!tiff.startsWith("II*") && !tiff.startsWith(QByteArray("MM\0*", 4)))
        return exif;
    try {
        Exiv2::ExifParser::decode(exif, reinterpret_cast<const Exiv2::byte*>(tiff.constData()), uint32_t(tiff.size()));
    } catch (const std::exception& error) {
        // A damaged block leaves the image's size and XMP to be read.
        Log::debug(Log::Category::background, "HEIF Exif block not read: %s", error.what());
        exif.clear();
    }
    return exif;
}

// An XMP date ("2023-05-01T12:00:00.5+02:00") as the EXIF date, offset and
// fraction of a second texts; none without a time of day.
struct ExifDateTexts {
    QString dateTime;
    QString offset;
    QString subsec;
};

std::optional<ExifDateTexts> exifDateTexts(const QString& xmpDate)
{
    static const QRegularExpression PATTERN(QStringLiteral(
        "^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d+))?)?(Z|[+-]\\d{2}:\\d{2})?$"));
    const QRegularExpressionMatch match = PATTERN.match(xmpDate.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QString seconds = match.captured(6).isEmpty() ? QStringLiteral("00") : match.captured(6);
    ExifDateTexts texts;
    texts.dateTime = QStringLiteral("%1:%2:%3 %4:%5:%6")
                         .arg(match.captured(1), match.captured(2), match.captured(3), match.captured(4), match.captured(5), seconds);
    texts.offset = match.captured(8) == QLatin1String("Z") ? QStringLiteral("+00:00") : match.captured(8);
    texts.subsec = match.captured(7);
    return texts;
}

QString xmpText(const Exiv2::XmpData& xmp, const char* key)
{
    const auto found = xmp.findKey(Exiv2::XmpKey(key));
    return found == xmp.end() ? QString() : QString::fromUtf8(found->toString()).trimmed();
}

// Edited photos often keep the capture date, make and model only in their XMP.
void addXmpFallbacks(const Exiv2::XmpData& xmp, QMap<QString, QVariantMap>& dictionaries)
{
    if (xmp.empty())
        return;
    QVariantMap& tiff = dictionaries[QStringLiteral("{TIFF}")];
    for (const auto& [name, key] : { std::pair { "Make", "Xmp.tiff.Make" }, std::pair { "Model", "Xmp.tiff.Model" } }) {
        const QString value = xmpText(xmp, key);
        if (!tiff.contains(QLatin1String(name)) && !value.isEmpty())
            tiff.insert(QLatin1String(name), value);
    }
    if (tiff.isEmpty())
        dictionaries.remove(QStringLiteral("{TIFF}"));

    const struct {
        const char* date;
        const char* offset;
        const char* subsec;
        const char* keys[2];
    } DATES[] = {
        { "DateTimeOriginal", "OffsetTimeOriginal", "SubsecTimeOriginal", { "Xmp.exif.DateTimeOriginal", "Xmp.photoshop.DateCreated" } },
        { "DateTimeDigitized", "OffsetTimeDigitized", "SubsecTimeDigitized", { "Xmp.exif.DateTimeDigitized", "Xmp.xmp.CreateDate" } },
    };
    QVariantMap& exif = dictionaries[QStringLiteral("{Exif}")];
    for (const auto& date : DATES) {
        if (exif.contains(QLatin1String(date.date)))
            continue;
        for (const char* key : date.keys) {
            const auto texts = exifDateTexts(xmpText(xmp, key));
            if (!texts)
                continue;
            exif.insert(QLatin1String(date.date), texts->dateTime);
            if (!texts->offset.isEmpty())
                exif.insert(QLatin1String(date.offset), texts->offset);
            if (!texts->subsec.isEmpty())
                exif.insert(QLatin1String(date.subsec), texts->subsec);
            break;
        }
    }
    if (exif.isEmpty())
        dictionaries.remove(QStringLiteral("{Exif}"));
}

} // namespace

std::optional<QVariantMap> read(const QString& path)
{
    initializeExiv2();
    // Declared first: the image reads through it until it is gone.
    const std::unique_ptr<ReadableFile> readable = ReadableFile::open(path, ReadableFile::IMAGE_LIMITS);
    if (!readable)
        return std::nullopt;
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(Exiv2::BasicIo::AutoPtr(readable->exiv2Io().release()));
        if (!image.get() || !isStillImage(image->imageType()))
            return std::nullopt;
        image->readMetadata();
        std::optional<HeifFacts> heif;
        Exiv2::ExifData heifExif;
        Exiv2::XmpData heifXmp;
        if (image->imageType() == Exiv2::ImageType::bmff) {
            heif = readHeif(path);
            if (heif && image->exifData().empty())
                heifExif = decodeHeifExif(heif->exif);
            if (heif && image->xmpData().empty() && !heif->xmp.isEmpty())
                Exiv2::XmpParser::decode(heifXmp, heif->xmp.toStdString());
        }
        const Exiv2::ExifData& exif = heifExif.empty() ? image->exifData() : heifExif;
        const Exiv2::XmpData& xmp = heifXmp.empty() ? image->xmpData() : heifXmp;

        QVariantMap properties;
        QMap<QString, QVariantMap> dictionaries;
        for (const Entry& entry : ENTRIES) {
            const auto found = exif.findKey(Exiv2::ExifKey(entry.exiv2Key));
            if (found == exif.end())
                continue;
            const QVariant value = valueOf(*found, entry.kind);
            if (!value.isValid())
                continue;
            // The first tag that holds a value wins.
            QVariantMap& target = *entry.dictionary == '\0' ? properties : dictionaries[QLatin1String(entry.dictionary)];
            if (!target.contains(QLatin1String(entry.name)))
                target.insert(QLatin1String(entry.name), value);
        }
        if (auto gps = dictionaries.find(QStringLiteral("{GPS}")); gps != dictionaries.end())
            applyGpsRules(*gps);
        addXmpFallbacks(xmp, dictionaries);
        for (auto it = dictionaries.cbegin(); it != dictionaries.cend(); ++it)
            properties.insert(it.key(), it.value());

        // The size of the image itself, else the size the camera recorded.
        const auto dimension = [&](int fromImage, const char* exifName) -> QVariant {
            if (fromImage > 0)
                return qint64(fromImage);
            return dictionaries.value(QStringLiteral("{Exif}")).value(QLatin1String(exifName));
        };
        const QVariant width = dimension(heif ? heif->width : image->pixelWidth(), "PixelXDimension");
        const QVariant height = dimension(heif ? heif->height : image->pixelHeight(), "PixelYDimension");
        if (width.isValid())
            properties.insert(QStringLiteral("PixelWidth"), width);
        if (height.isValid())
            properties.insert(QStringLiteral("PixelHeight"), height);
        return properties;
    } catch (const Exiv2::AnyError& error) {
        Log::debug(Log::Category::background, "Image metadata of %s not read: %s", path, error.what());
    } catch (const std::exception& error) {
        Log::debug(Log::Category::background, "Image metadata of %s not read: %s", path, error.what());
    } catch (...) {
        Log::debug(Log::Category::background, "Image metadata of %s not read", path);
    }
    return std::nullopt;
}

const QSet<QString>& supportedContentTypes()
{
    static const QSet<QString> types {
        QStringLiteral("image/jpeg"), QStringLiteral("image/png"), QStringLiteral("image/tiff"),
        QStringLiteral("image/webp"), QStringLiteral("image/heif"), QStringLiteral("image/avif"),
        QStringLiteral("image/gif"), QStringLiteral("image/bmp"), QStringLiteral("image/jp2"),
        QStringLiteral("image/x-tga"), QStringLiteral("image/vnd.adobe.photoshop"),
        QStringLiteral("image/x-adobe-dng"), QStringLiteral("image/x-canon-cr2"), QStringLiteral("image/x-canon-cr3"),
        QStringLiteral("image/x-canon-crw"), QStringLiteral("image/x-nikon-nef"), QStringLiteral("image/x-sony-arw"),
        QStringLiteral("image/x-sony-sr2"), QStringLiteral("image/x-olympus-orf"), QStringLiteral("image/x-fuji-raf"),
        QStringLiteral("image/x-panasonic-rw2"), QStringLiteral("image/x-pentax-pef"),
        QStringLiteral("image/x-minolta-mrw"), QStringLiteral("image/x-samsung-srw"),
    };
    return types;
}

} // namespace ImageProperties
