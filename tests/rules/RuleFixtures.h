// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileFixtures.h"

#include "core/Preference.h"
#include "platform/DefaultsStore.h"
#include "rules/Transformer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Rules run against a settings store of their own in a temporary folder.
class RulesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<DefaultsStore>(dir.filePath(QStringLiteral("defaults.json")));
        Preference::setStore(store.get());
        setPreferences(false, true);
    }
    void TearDown() override { Preference::setStore(nullptr); }

    void setPreferences(bool renameHidden, bool renameEmptyFolders)
    {
        store->setValue(PreferenceKey::renameHiddenFiles.rawValue, renameHidden);
        store->setValue(PreferenceKey::renameEmptyFolders.rawValue, renameEmptyFolders);
    }

    QTemporaryDir dir;
    std::unique_ptr<DefaultsStore> store;
};

using PropertiesSetter = std::function<void(TransformerProperties&)>;

inline Transformer makeRule(TransformerType type, const PropertiesSetter& set = {},
    TransformScope scope = TransformScope::filename)
{
    Transformer rule = Transformer::newTransformer();
    rule.type = type;
    rule.transformScope = scope;
    if (set)
        set(rule.properties);
    return rule;
}

// What the engine does for one preview: every file starts afresh and passes
// through the rules in order, sharing one set of counters.
inline void previewRules(QList<Transformer>& rules, QList<File>& files, FileIndex& fileIndex)
{
    for (File& file : files) {
        file.resetTransformations();
        for (Transformer& rule : rules)
            rule.transformQuick(file, fileIndex);
    }
}

inline QString newName(const File& file)
{
    return file.transformed.getTransformedText(TransformScope::filename);
}
