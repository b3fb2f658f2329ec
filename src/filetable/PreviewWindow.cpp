// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/PreviewWindow.h"

#include "core/Number+format.h"
#include "platform/MainThread.h"
#include "platform/Task.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStringDecoder>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int CARD_ICON_SIZE = 64;

QLabel* cardLabel(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

QString dateText(const QDateTime& date)
{
    return date.isValid() ? QLocale().toString(date.toLocalTime(), QLocale::LongFormat) : QStringLiteral("—");
}

bool readImage(const QString& path, PreviewWindow::Preview& preview)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return false;
    // Large pictures are decoded at the size shown; the reader's allocation
    // limit refuses pictures whose pixels would not fit in memory.
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > PreviewWindow::MAX_IMAGE_SIDE || size.height() > PreviewWindow::MAX_IMAGE_SIDE))
        reader.setScaledSize(size.scaled(PreviewWindow::MAX_IMAGE_SIDE, PreviewWindow::MAX_IMAGE_SIDE, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return false;
    preview.image = std::move(image);
    preview.content = PreviewWindow::Content::image;
    return true;
}

bool readText(const QString& path, const QMimeType& type, PreviewWindow::Preview& preview)
{
    if (!type.inherits(QStringLiteral("text/plain")))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(PreviewWindow::TEXT_LIMIT);
    if (head.contains('\0'))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(head);
    // A cut through a character at the limit is no fault; other bad bytes mean another encoding.
    if (utf8.hasError())
        text = QString::fromLatin1(head);
    preview.text = std::move(text);
    preview.textTruncated = !file.atEnd();
    preview.content = PreviewWindow::Content::text;
    return true;
}

} // namespace

PreviewWindow::PreviewWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , m_pages(new QStackedWidget(this))
    , m_emptyView(new QLabel(QStringLiteral("No file selected"), this))
    , m_imageView(new QLabel(this))
    , m_textView(new QPlainTextEdit(this))
    , m_card(new QWidget(this))
    , m_cardIcon(new QLabel(m_card))
    , m_cardName(cardLabel(m_card, QStringLiteral("cardName")))
    , m_cardKind(cardLabel(m_card, QStringLiteral("cardKind")))
    , m_cardSize(cardLabel(m_card, QStringLiteral("cardSize")))
    , m_cardCreated(cardLabel(m_card, QStringLiteral("cardCreated")))
    , m_cardModified(cardLabel(m_card, QStringLiteral("cardModified")))
    , m_openButton(new QPushButton(QStringLiteral("Open with default application"), m_card))
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QStringLiteral("Quick Look"));
    setAccessibleName(QStringLiteral("Quick Look"));
    resize(640, 480);

    m_emptyView->setObjectName(QStringLiteral("emptyPreview"));
    m_emptyView->setAlignment(Qt::AlignCenter);
    m_imageView->setObjectName(QStringLiteral("imagePreview"));
    m_imageView->setAccessibleName(QStringLiteral("Image preview"));
    m_imageView->setAlignment(Qt::AlignCenter);
    m_imageView->setMinimumSize(1, 1);
    m_textView->setObjectName(QStringLiteral("textPreview"));
    m_textView->setAccessibleName(QStringLiteral("Text preview"));
    m_textView->setReadOnly(true);
    m_textView->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_textView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    m_card->setObjectName(QStringLiteral("cardPreview"));
    m_card->setAccessibleName(QStringLiteral("File facts"));
    QFont nameFont = m_cardName->font();
    nameFont.setBold(true);
    m_cardName->setFont(nameFont);
    m_openButton->setObjectName(QStringLiteral("openButton"));
    m_openButton->setAccessibleName(QStringLiteral("Open with default application"));
    m_openButton->setToolTip(QStringLiteral("Open the file with the desktop's application for its kind"));
    auto* facts = new QFormLayout;
    facts->addRow(QStringLiteral("Kind:"), m_cardKind);
    facts->addRow(QStringLiteral("Size:"), m_cardSize);
    facts->addRow(QStringLiteral("Created:"), m_cardCreated);
    facts->addRow(QStringLiteral("Modified:"), m_cardModified);
    auto* cardLayout = new QVBoxLayout(m_card);
    cardLayout->addStretch(1);
    cardLayout->addWidget(m_cardIcon, 0, Qt::AlignHCenter);
    cardLayout->addWidget(m_cardName, 0, Qt::AlignHCenter);
    cardLayout->addLayout(facts);
    cardLayout->addWidget(m_openButton, 0, Qt::AlignHCenter);
    cardLayout->addStretch(1);

    m_pages->addWidget(m_emptyView);
    m_pages->addWidget(m_imageView);
    m_pages->addWidget(m_textView);
    m_pages->addWidget(m_card);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);
    connect(m_openButton, &QPushButton::clicked, this, [this] { openWithDefaultApplication(); });
}

PreviewWindow::Preview PreviewWindow::load(const QString& path)
{
    Preview preview;
    preview.path = path;
    const QFileInfo info(path);
    preview.name = info.fileName().isEmpty() ? path : info.fileName();
    preview.exists = info.exists() || info.isSymLink();
    if (!preview.exists) {
        preview.kind = QStringLiteral("The file is no longer there");
        return preview;
    }
    preview.isDirectory = info.isDir();
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    preview.kind = preview.isDirectory ? QStringLiteral("Folder") : type.comment();
    preview.size = info.size();
    preview.created = info.birthTime();
    preview.modified = info.lastModified();
    if (preview.isDirectory || !info.isFile())
        return preview;
    if (!readImage(path, preview))
        readText(path, type, preview);
    return preview;
}

void PreviewWindow::setPath(const QString& path)
{
    m_path = path;
    const quint64 ticket = ++m_ticket;
    if (path.isEmpty()) {
        m_loading = false;
        showEmpty();
        return;
    }
    m_loading = true;
    setWindowTitle(QFileInfo(path).fileName());
    QPointer<PreviewWindow> self(this);
    TaskHandle::detached([self, ticket, path](std::stop_token) {
        Preview preview = load(path);
        MainThread::post([self, ticket, preview = std::move(preview)] {
            // Only the preview of the file asked for last is shown.
            if (!self || ticket != self->m_ticket)
                return;
            self->m_loading = false;
            self->present(preview);
        });
    });
}

void PreviewWindow::showEmpty()
{
    m_content = Content::none;
    m_image = QImage();
    setWindowTitle(QStringLiteral("Quick Look"));
    m_pages->setCurrentWidget(m_emptyView);
}

void PreviewWindow::present(const Preview& preview)
{
    m_content = preview.content;
    m_image = preview.image;
    switch (preview.content) {
    case Content::image:
        scaleImage();
        m_imageView->setToolTip(QStringLiteral("%1 × %2").arg(m_image.width()).arg(m_image.height()));
        m_pages->setCurrentWidget(m_imageView);
        return;
    case Content::text:
        m_textView->setPlainText(preview.textTruncated ? preview.text + QStringLiteral("\n…") : preview.text);
        m_pages->setCurrentWidget(m_textView);
        return;
    case Content::none:
    case Content::card:
        break;
    }
    m_content = Content::card;
    const QFileInfo info(preview.path);
    const QIcon icon = preview.exists ? QFileIconProvider().icon(info) : QFileIconProvider().icon(QFileIconProvider::File);
    m_cardIcon->setPixmap(icon.pixmap(CARD_ICON_SIZE, CARD_ICON_SIZE));
    m_cardName->setText(preview.name);
    m_cardKind->setText(preview.kind);
    m_cardSize->setText(preview.isDirectory || !preview.exists ? QStringLiteral("—") : Number::formattedFileSize(preview.size));
    m_cardCreated->setText(dateText(preview.created));
    m_cardModified->setText(dateText(preview.modified));
    m_openButton->setEnabled(preview.exists);
    m_pages->setCurrentWidget(m_card);
}

void PreviewWindow::scaleImage()
{
    if (m_image.isNull())
        return;
    const QSize area = m_imageView->size().boundedTo(m_image.size() / m_image.devicePixelRatio());
    const qreal scale = devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(m_image.scaled(area * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(scale);
    m_imageView->setPixmap(pixmap);
}

void PreviewWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_content == Content::image)
        scaleImage();
}

void PreviewWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Escape:
        hide();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        // The table moves its selection and the preview follows it.
        if (m_responder) {
            QKeyEvent forwarded(event->type(), event->key(), event->modifiers(), event->text());
            QApplication::sendEvent(m_responder, &forwarded);
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void PreviewWindow::openWithDefaultApplication()
{
    if (!m_path.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_path));
}
