#include "tokens/ImageProperties.h"

#include "platform/Log.h"
#include "tokens/ReadableFile.h"

#include <QVariantList>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#include <exiv2/webpimage.hpp>
#pragma GCC diagnostic pop

#include <cmath>
#include <exception>
#include <mutex>

namespace ImageProperties {

namespace {

enum class Kind { integer, integers, real, text, coordinate, reference };

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
    { "{TIFF}", "DateTime", "Exif.Image.DateTime", Kind::text },
    { "{TIFF}", "Artist", "Exif.Image.Artist", Kind::text },
    { "{TIFF}", "Copyright", "Exif.Image.Copyright", Kind::text },
    { "{TIFF}", "Orientation", "Exif.Image.Orientation", Kind::integer },
    { "{Exif}", "ExposureTime", "Exif.Photo.ExposureTime", Kind::real },
    { "{Exif}", "FNumber", "Exif.Photo.FNumber", Kind::real },
    { "{Exif}", "ExposureProgram", "Exif.Photo.ExposureProgram", Kind::integer },
    { "{Exif}", "ISOSpeedRatings", "Exif.Photo.ISOSpeedRatings", Kind::integers },
    { "{Exif}", "DateTimeOriginal", "Exif.Photo.DateTimeOriginal", Kind::text },
    { "{Exif}", "DateTimeDigitized", "Exif.Photo.DateTimeDigitized", Kind::text },
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

// The value as a double; none for a zero denominator or a value that is no number.
std::optional<double> real(const Exiv2::Exifdatum& datum, long n)
{
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
    if (datum.count() <= n)
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

// Text tags are padded with NULs or blanks by many cameras.
QString text(const Exiv2::Exifdatum& datum)
{
    QString value = QString::fromUtf8(datum.toString());
    const qsizetype nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    return value.trimmed();
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
        for (long i = 0; i < datum.count(); ++i) {
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
    case Kind::coordinate: {
        // Degrees, minutes and seconds; some writers leave the seconds out.
        double degrees = 0;
        const double factors[] = { 1.0, 60.0, 3600.0 };
        for (long i = 0; i < 3 && i < datum.count(); ++i) {
            const auto part = real(datum, i);
            if (!part)
                return {};
            degrees += *part / factors[i];
        }
        if (datum.count() == 0 || !std::isfinite(degrees))
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
        const Exiv2::ExifData& exif = image->exifData();

        QVariantMap properties;
        QMap<QString, QVariantMap> dictionaries;
        for (const Entry& entry : ENTRIES) {
            const auto found = exif.findKey(Exiv2::ExifKey(entry.exiv2Key));
            if (found == exif.end())
                continue;
            const QVariant value = valueOf(*found, entry.kind);
            if (!value.isValid())
                continue;
            if (*entry.dictionary == '\0')
                properties.insert(QLatin1String(entry.name), value);
            else
                dictionaries[QLatin1String(entry.dictionary)].insert(QLatin1String(entry.name), value);
        }
        for (auto it = dictionaries.cbegin(); it != dictionaries.cend(); ++it)
            properties.insert(it.key(), it.value());

        // The size of the image itself, else the size the camera recorded.
        const auto dimension = [&](int fromImage, const char* exifName) -> QVariant {
            if (fromImage > 0)
                return qint64(fromImage);
            return dictionaries.value(QStringLiteral("{Exif}")).value(QLatin1String(exifName));
        };
        const QVariant width = dimension(image->pixelWidth(), "PixelXDimension");
        const QVariant height = dimension(image->pixelHeight(), "PixelYDimension");
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
