// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/TransformScope.h"

#include <QList>

// How a scope is shown: "Filenames", "Paths", "Extensions", "Full Paths".
QString description(TransformScope scope);
const QList<TransformScope>& allTransformScopes();
