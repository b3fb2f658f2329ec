// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileAttribute.h"

#include <QString>

// One row of the file inspector's attribute table. The id is the token id that
// inserts the attribute; the name and path rows have none.
struct InspectorPanelItem {
    QString id;
    QString label;
    QString attributeValue;

    InspectorPanelItem(QString label, QString attributeValue)
        : label(std::move(label))
        , attributeValue(std::move(attributeValue))
    {
    }
    // Labelled with the readable form of the attribute's id.
    explicit InspectorPanelItem(const FileAttribute& fileAttribute);

    // An attribute id as words: without its "{Group}." prefix, split at dashes
    // and at changes of case, in sentence case with acronyms kept; the tag
    // source ("AV", "FLAC", "ID3") in brackets after it, so that the titles of
    // several tag sources stay apart. "AV-track-number-of" reads "Track number
    // of (AV)", "{Exif}.DateTimeOriginal" "Date time original".
    static QString readableLabel(const QString& id);

    bool operator==(const InspectorPanelItem&) const = default;
};
