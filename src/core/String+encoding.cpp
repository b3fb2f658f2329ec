// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/String+encoding.h"

#include "core/IcuString.h"

#include <QStringDecoder>

#include <unicode/ucsdet.h>
#include <unicode/unistr.h>

#include <memory>

namespace String {

namespace {
std::optional<QString> decodeWith(QStringDecoder decoder, const QByteArray& bytes)
{
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QString> detectAndDecode(const QByteArray& bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status), ucsdet_close);
    if (U_FAILURE(status))
        return std::nullopt;
    ucsdet_setText(detector.get(), bytes.constData(), int32_t(bytes.size()), &status);
    const UCharsetMatch* match = ucsdet_detect(detector.get(), &status);
    if (U_FAILURE(status) || !match)
        return std::nullopt;
    const char* name = ucsdet_getName(match, &status);
    if (U_FAILURE(status) || !name)
        return std::nullopt;
    const icu::UnicodeString text(bytes.constData(), int32_t(bytes.size()), name);
    if (text.isBogus())
        return std::nullopt;
    return IcuString::fromIcu(text);
}
} // namespace

std::optional<QString> decodedText(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return QString();
    if (const auto bom = QStringConverter::encodingForData(bytes))
        return decodeWith(QStringDecoder(*bom), bytes);
    if (auto utf8 = decodeWith(QStringDecoder(QStringConverter::Utf8), bytes))
        return utf8;
    return detectAndDecode(bytes);
}

} // namespace String
