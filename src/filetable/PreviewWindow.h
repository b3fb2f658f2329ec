// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

// The preview of one file in a small tool window beside the main window:
// an image, the beginning of a text file, or else a card with the file's kind,
// size and dates and a button that opens it with the desktop's application.
// The file is read off the main thread; a preview read for a file that is no
// longer asked for is dropped.
class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    enum class Content { none, image, text, card };

    // What a preview shows of a file, read by `load`.
    struct Preview {
        Content content = Content::card;
        QString path;
        QString name;
        bool exists = false;
        bool isDirectory = false;
        QString kind;
        qint64 size = 0;
        QDateTime created;
        QDateTime modified;
        QImage image;
        QString text;
        bool textTruncated = false;
    };

    // Text files show at most this much of their beginning.
    static constexpr qint64 TEXT_LIMIT = 64 * 1024;
    // Images larger than this are read scaled down to fit it.
    static constexpr int MAX_IMAGE_SIDE = 2048;

    explicit PreviewWindow(QWidget* parent = nullptr);

    // Reads the file; safe on any thread. Images go through QImageReader and
    // its allocation limit; a file that is neither image nor text gives a card.
    static Preview load(const QString& path);

    // Shows the file (an empty path: nothing to preview).
    void setPath(const QString& path);
    const QString& path() const { return m_path; }
    // Where the arrow keys go: the file table, so the preview follows its selection.
    void setResponder(QObject* responder) { m_responder = responder; }

    Content content() const { return m_content; }
    bool isLoading() const { return m_loading; }
    QLabel* imageView() const { return m_imageView; }
    QPlainTextEdit* textView() const { return m_textView; }
    QWidget* card() const { return m_card; }
    QLabel* cardKind() const { return m_cardKind; }
    QPushButton* openButton() const { return m_openButton; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void present(const Preview& preview);
    void showEmpty();
    void scaleImage();
    void openWithDefaultApplication();

    QString m_path;
    quint64 m_ticket = 0;
    bool m_loading = false;
    Content m_content = Content::none;
    QImage m_image;
    QPointer<QObject> m_responder;
    QStackedWidget* m_pages;
    QLabel* m_emptyView;
    QLabel* m_imageView;
    QPlainTextEdit* m_textView;
    QWidget* m_card;
    QLabel* m_cardIcon;
    QLabel* m_cardName;
    QLabel* m_cardKind;
    QLabel* m_cardSize;
    QLabel* m_cardCreated;
    QLabel* m_cardModified;
    QPushButton* m_openButton;
};
