// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/TransformScope+description.h"

QString description(TransformScope scope)
{
    switch (scope) {
    case TransformScope::filename: return QStringLiteral("Filenames");
    case TransformScope::path: return QStringLiteral("Paths");
    case TransformScope::ext: return QStringLiteral("Extensions");
    case TransformScope::fullPath: return QStringLiteral("Full Paths");
    }
    return {};
}

const QList<TransformScope>& allTransformScopes()
{
    static const QList<TransformScope> scopes { TransformScope::filename, TransformScope::path,
        TransformScope::ext, TransformScope::fullPath };
    return scopes;
}
