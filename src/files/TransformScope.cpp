// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/TransformScope.h"

QString rawValue(TransformScope scope)
{
    switch (scope) {
    case TransformScope::filename: return QStringLiteral("filename");
    case TransformScope::path: return QStringLiteral("path");
    case TransformScope::ext: return QStringLiteral("extension");
    case TransformScope::fullPath: return QStringLiteral("fullpath");
    }
    return {};
}

std::optional<TransformScope> transformScopeFromRawValue(const QString& text)
{
    for (TransformScope scope : { TransformScope::filename, TransformScope::path, TransformScope::ext, TransformScope::fullPath }) {
        if (rawValue(scope) == text)
            return scope;
    }
    return std::nullopt;
}
