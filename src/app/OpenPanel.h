// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileDialog>
#include <QList>
#include <QUrl>

// The desktop's own dialog (through the portal where one runs) for picking
// files to open, or one folder; the widget dialog where the desktop has none.
class OpenPanel : public QFileDialog {
    Q_OBJECT
public:
    enum class Mode { files, folder };

    explicit OpenPanel(Mode mode, QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    // The picked items, in the order the dialog gives them; empty until accepted.
    QList<QUrl> urls() const { return result() == QDialog::Accepted ? selectedUrls() : QList<QUrl>(); }

private:
    Mode m_mode;
};
