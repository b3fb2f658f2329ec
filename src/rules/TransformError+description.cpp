// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/TransformError+description.h"

QString localizedDescription(const TransformError& error)
{
    switch (error.kind()) {
    case TransformError::Kind::fatal: {
        const QString message = error.messageText();
        const QString informative = error.informativeText();
        if (informative.isEmpty())
            return message;
        if (message.isEmpty())
            return informative;
        return message + QStringLiteral(": ") + informative;
    }
    case TransformError::Kind::lateUpdateRequired:
        return QStringLiteral("Waiting for file attributes to be loaded");
    case TransformError::Kind::skipped:
        return QStringLiteral("Skipped");
    case TransformError::Kind::aborted:
        return QStringLiteral("Aborted");
    }
    return {};
}
