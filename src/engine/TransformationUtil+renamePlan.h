// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/RenamePlanItem.h"
#include "files/File.h"
#include "rules/Transformer.h"

#include <QList>

namespace TransformationUtil {

// How the file's name develops rule by rule: the preview form of every rule
// replayed on a private copy, one row more than there are rules. Nothing is
// written back; a file whose replay still waits for data is handed to the
// single-file queue at high priority.
QList<RenamePlanItem> getRenamingPlanFor(const File& file, const QList<Transformer>& transformers);

} // namespace TransformationUtil
