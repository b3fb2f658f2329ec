// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The four parts of a file path that rename rules edit.
struct URLComponents {
    QString path;     // the folder, no trailing "/" except the root
    QString filename; // the last component without its extension
    QString ext;      // without the dot; "" when there is none
    QString fullPath;
    friend bool operator==(const URLComponents&, const URLComponents&) = default;
};
