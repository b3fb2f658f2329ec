// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OpenPanel.h"

OpenPanel::OpenPanel(Mode mode, QWidget* parent)
    : QFileDialog(parent)
    , m_mode(mode)
{
    setAcceptMode(QFileDialog::AcceptOpen);
    setOption(QFileDialog::DontResolveSymlinks);
    if (mode == Mode::files) {
        setFileMode(QFileDialog::ExistingFiles);
        setWindowTitle(QStringLiteral("Open Files"));
    } else {
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly);
        setWindowTitle(QStringLiteral("Open Folder"));
    }
    setAccessibleName(windowTitle());
}
