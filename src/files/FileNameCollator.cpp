// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileNameCollator.h"

#include <QLocale>

#include <unicode/coll.h>

FileNameCollator::FileNameCollator()
{
    UErrorCode status = U_ZERO_ERROR;
    const QByteArray localeName = QLocale::system().name().toUtf8();
    m_collator.reset(icu::Collator::createInstance(icu::Locale(localeName.constData()), status));
    if (U_FAILURE(status) || !m_collator) {
        status = U_ZERO_ERROR;
        m_collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    if (m_collator) {
        m_collator->setStrength(icu::Collator::SECONDARY);
        m_collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
        // Texts of one canonical form (composed or decomposed accents) compare
        // equal and get equal keys, whatever form the file system gave.
        m_collator->setAttribute(UCOL_NORMALIZATION_MODE, UCOL_ON, status);
    }
}

FileNameCollator::~FileNameCollator() = default;
FileNameCollator::FileNameCollator(FileNameCollator&&) noexcept = default;

int FileNameCollator::compare(const QString& a, const QString& b) const
{
    if (!m_collator)
        return QString::compare(a, b, Qt::CaseInsensitive);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = m_collator->compare(reinterpret_cast<const UChar*>(a.utf16()),
        static_cast<int32_t>(a.size()), reinterpret_cast<const UChar*>(b.utf16()), static_cast<int32_t>(b.size()),
        status);
    return static_cast<int>(result);
}

QByteArray FileNameCollator::sortKey(const QString& text) const
{
    if (!m_collator)
        return text.normalized(QString::NormalizationForm_C).toCaseFolded().toUtf8();
    const auto* chars = reinterpret_cast<const UChar*>(text.utf16());
    const auto length = static_cast<int32_t>(text.size());
    QByteArray key(64, Qt::Uninitialized);
    int32_t needed = m_collator->getSortKey(chars, length, reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
    if (needed > key.size()) {
        key.resize(needed);
        needed = m_collator->getSortKey(chars, length, reinterpret_cast<uint8_t*>(key.data()), needed);
    }
    key.resize(needed);
    return key;
}
