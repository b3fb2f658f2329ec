#pragma once

#include <QFileDialog>
#include <QList>
#include <QUrl>

// A file dialog that lets the user pick several files and folders at once:
// Open takes whatever is selected, a folder included, instead of entering it.
class OpenPanel : public QFileDialog {
    Q_OBJECT
public:
    explicit OpenPanel(QWidget* parent = nullptr);

    // The picked items, in the order the dialog gives them; empty until accepted.
    QList<QUrl> urls() const { return m_urls; }

public slots:
    void accept() override;

private:
    QList<QUrl> m_urls;
};
