#include "filetable/InspectorPanelItem.h"

#include "filetable/FileDetailsFormatter.h"

InspectorPanelItem::InspectorPanelItem(const FileAttribute& fileAttribute)
    : id(fileAttribute.id)
    , label(fileAttribute.label)
    , attributeValue(FileDetailsFormatter::string(fileAttribute.attributeValue))
{
}
