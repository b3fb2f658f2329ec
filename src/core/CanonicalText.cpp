// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/CanonicalText.h"

#include "core/IcuString.h"

#include <unicode/normalizer2.h>
#include <unicode/normlzr.h>

#include <algorithm>

namespace CanonicalText {

namespace {
// Below U+0300 there are no combining marks and nothing that normalisation
// changes: such a text is its own canonical form, with no need to ask ICU.
bool isPlainlyNormalized(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x300; });
}
} // namespace

QString nfc(const QString& text)
{
    if (isPlainlyNormalized(text))
        return text;
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* normalizer = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return text;
    const icu::UnicodeString source = IcuString::toIcu(text);
    if (normalizer->isNormalized(source, status) && U_SUCCESS(status))
        return text;
    status = U_ZERO_ERROR;
    const icu::UnicodeString result = normalizer->normalize(source, status);
    return U_SUCCESS(status) ? IcuString::fromIcu(result) : text;
}

bool equal(const QString& a, const QString& b)
{
    // Copies of one text share their characters: equal without reading them.
    if ((a.constData() == b.constData() && a.size() == b.size()) || a == b)
        return true;
    // Two different texts that are both their own canonical form differ.
    if (isPlainlyNormalized(a) && isPlainlyNormalized(b))
        return false;
    return nfc(a) == nfc(b);
}

namespace {
bool isAscii(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}
} // namespace

bool equalCaseInsensitive(const QString& a, const QString& b)
{
    // Attribute ids and catalog keys are ASCII: folding A-Z is all there is to do.
    if (isAscii(a) && isAscii(b))
        return a.compare(b, Qt::CaseInsensitive) == 0;
    UErrorCode status = U_ZERO_ERROR;
    const int32_t order = icu::Normalizer::compare(IcuString::toIcu(a), IcuString::toIcu(b),
        U_COMPARE_IGNORE_CASE | U_FOLD_CASE_DEFAULT, status);
    return U_SUCCESS(status) && order == 0;
}

} // namespace CanonicalText
