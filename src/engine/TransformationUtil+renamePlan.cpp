// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TransformationUtil+renamePlan.h"

#include "engine/TransformationQueue.h"

namespace TransformationUtil {

QList<RenamePlanItem> getRenamingPlanFor(const File& file, const QList<Transformer>& transformers)
{
    const QString lineBreak = QStringLiteral("/\n");
    QList<RenamePlanItem> rows;
    rows << RenamePlanItem { QStringLiteral("Original Name"),
        file.source.fileInfo.path + lineBreak + file.source.fileInfo.name + file.source.extSuffix(), true };

    FileIndex fileIndex = file.transformed.fileIndex.value_or(FileIndex {});
    File copy = file;
    copy.resetTransformations();
    for (Transformer rule : transformers) {
        rule.transformQuick(copy, fileIndex);
        const bool actsOnFile = !rule.disabled && (copy.transformed.isSelected || rule.type == TransformerType::select);
        rows << RenamePlanItem { rule.buttonLabel() + QLatin1Char(' ') + rawValue(rule.transformScope),
            copy.transformed.transformedPath.value() + lineBreak + copy.transformed.transformedName.value()
                + copy.transformed.transformedExtSuffix(),
            actsOnFile };
    }
    if (copy.transformed.lateUpdateRequired)
        TransformationQueue::enqueFileTransformation(copy, TransformationQueue::TransformationPriority::high);
    return rows;
}

} // namespace TransformationUtil
