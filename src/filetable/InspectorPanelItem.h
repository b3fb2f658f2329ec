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
    explicit InspectorPanelItem(const FileAttribute& fileAttribute);

    bool operator==(const InspectorPanelItem&) const = default;
};
