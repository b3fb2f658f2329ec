#include "app/OpenPanel.h"

#include <QAbstractItemView>
#include <QFileInfo>

OpenPanel::OpenPanel(QWidget* parent)
    : QFileDialog(parent)
{
    // Only the widget-based dialog shows files while choosing folders.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::Directory);
    setOption(QFileDialog::ShowDirsOnly, false);
    setOption(QFileDialog::DontResolveSymlinks);
    setFilter(QDir::AllEntries | QDir::NoDotAndDotDot);
    setAcceptMode(QFileDialog::AcceptOpen);
    setWindowTitle(QStringLiteral("Open"));
    for (QAbstractItemView* view : findChildren<QAbstractItemView*>())
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void OpenPanel::accept()
{
    QList<QUrl> picked;
    for (const QString& path : selectedFiles())
        if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
            picked << QUrl::fromLocalFile(path);
    if (picked.isEmpty())
        return;
    m_urls = picked;
    QDialog::accept();
}
