// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/TableViewController.h"

#include "core/Array+helpers.h"
#include "core/DependencyInjectionRegistry.h"
#include "core/String+csv.h"
#include "files/FileDataSource.h"
#include "platform/Log.h"
#include "rules/Transformers.h"
#include "uikit/Alert.h"
#include "uikit/AlertPresenter.h"
#include "uikit/FileDialogFolder.h"

#include <QFileDialog>
#include <QPointer>
#include <QSaveFile>

namespace {

const QString SEPARATOR = QStringLiteral(";");

QString scopeText(const File& file, TransformScope scope)
{
    const FileTransform& transformed = file.transformed;
    switch (scope) {
    case TransformScope::filename:
        return transformed.transformedName.value();
    case TransformScope::path:
        return transformed.transformedPath.value();
    case TransformScope::ext:
        return transformed.transformedExt.value();
    case TransformScope::fullPath:
        return transformed.transformedFullPath();
    }
    return {};
}

} // namespace

QString TableViewController::csvText(const QList<File>& files, TransformScope scope)
{
    QStringList lines;
    lines.reserve(files.size());
    for (const File& file : files) {
        const QString field = String::escapedForCSVImport(scopeText(file, scope));
        lines << field + SEPARATOR + field;
    }
    return Array::unique(lines).join(QLatin1Char('\n'));
}

void TableViewController::exportFilesToCsv(QObject*)
{
    QWidget* window = m_view ? m_view->window() : nullptr;
    const auto store = fileDataSource();
    if (!window || !store || store->count() == 0)
        return;
    // The scope of the rule selected in the rule bar; with none selected, the names.
    TransformScope scope = TransformScope::filename;
    const auto transformers = DependencyInjectionRegistry::get<Transformers>(
        QStringLiteral("Brackenfold/TableViewController+csv.cpp"), QStringLiteral("exportFilesToCsv(_:)"), __LINE__);
    if (transformers) {
        if (const std::optional<Transformer> rule = transformers->currentTransformer())
            scope = rule->transformScope;
    }

    auto* panel = new QFileDialog(window, QStringLiteral("Export CSV"));
    panel->setObjectName(QStringLiteral("exportCsvPanel"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setFileMode(QFileDialog::AnyFile);
    panel->setNameFilter(QStringLiteral("CSV files (*.csv)"));
    panel->setDefaultSuffix(QStringLiteral("csv"));
    FileDialogFolder::attach(panel, QStringLiteral("exportCsv"), store ? store->openedFolder() : QString());
    QPointer<TableViewController> self(this);
    connect(panel, &QFileDialog::fileSelected, this, [self, scope](const QString& path) {
        if (self && !path.isEmpty())
            self->saveFileListToCsv(path, scope);
    });
    AlertPresenter::current().presentSheet(panel, window);
}

bool TableViewController::saveFileListToCsv(const QString& path, TransformScope scope)
{
    const auto store = fileDataSource();
    if (!store || store->count() == 0)
        return false;
    const QByteArray data = csvText(store->getAllFiles(), scope).toUtf8();
    // Written beside the target and moved over it only when complete: a failed
    // export leaves the old file, or none, never half a file.
    QSaveFile file(path);
    QString error;
    if (!file.open(QIODevice::WriteOnly))
        error = file.errorString();
    else if (file.write(data) != data.size())
        error = file.errorString();
    else if (!file.commit())
        error = file.errorString();
    if (error.isEmpty())
        return true;
    file.cancelWriting();
    Log::error(Log::Category::general, "Unable to save CSV file to %{public}s due to: %{public}s", path, error);
    Alert::warning(QStringLiteral("The file “%1” could not be saved.").arg(path), error, {}, [](Alert::ModalResponse) {});
    return false;
}
