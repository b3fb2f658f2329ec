// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/LateUpdateRequester.h"

#include "files/FileComponents.h"

void LateUpdateRequester::request(const File& file, Priority priority)
{
    if (!m_hook || !file.transformed.lateUpdateRequired || !file.index)
        return;
    const qint64 generation = file.fileGenerationId.value_or(-1);
    if (generation != m_generation) {
        m_requested.clear();
        m_generation = generation;
    }
    if (wasRequested(file))
        return;
    m_requested.insert(*file.index, file.source.id);
    m_hook(file, priority);
}

bool LateUpdateRequester::wasRequested(const File& file) const
{
    if (!file.index || file.fileGenerationId.value_or(-1) != m_generation)
        return false;
    const auto found = m_requested.constFind(*file.index);
    return found != m_requested.constEnd() && *found == file.source.id;
}

void LateUpdateRequester::snapshotChanged(const FileComponents& snapshot)
{
    if (snapshot.fileGenerationId != m_generation) {
        m_requested.clear();
        m_generation = snapshot.fileGenerationId;
        return;
    }
    for (auto it = m_requested.begin(); it != m_requested.end();) {
        const qint64 index = it.key();
        const bool stillLate = index < snapshot.fileSources.size() && snapshot.fileSources.at(index).id == it.value()
            && snapshot.fileTransforms.at(index).lateUpdateRequired;
        it = stillLate ? std::next(it) : m_requested.erase(it);
    }
}
