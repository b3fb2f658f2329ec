// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/FileAttributeUtil.h"

#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

// A temporary folder for the media files a test makes, and their attributes.
class MediaFileFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QString path(const QString& name) const { return folder.filePath(name); }
    static FileAttributeDictionary load(const QString& path)
    {
        return FileAttributeUtil::loadAttributes(QUrl::fromLocalFile(path));
    }
    QTemporaryDir folder;
};
