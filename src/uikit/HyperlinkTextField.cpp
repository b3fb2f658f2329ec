// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/HyperlinkTextField.h"

#include "uikit/AppTextStyle.h"

#include <QDesktopServices>
#include <QEvent>
#include <QMouseEvent>
#include <QUrl>

HyperlinkTextField::HyperlinkTextField(QWidget* parent)
    : QLabel(parent)
{
    setHyperlinkStyle();
}

HyperlinkTextField::HyperlinkTextField(const QString& text, const QString& href, QWidget* parent)
    : HyperlinkTextField(parent)
{
    setText(text);
    m_href = href;
}

void HyperlinkTextField::setHyperlinkStyle()
{
    // Setting the palette and font below announces a change of its own.
    if (m_styling)
        return;
    m_styling = true;
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setCursor(Qt::PointingHandCursor);
    const QTextCharFormat link = AppTextStyle::hyperlink();
    QPalette linkPalette = palette();
    linkPalette.setColor(QPalette::WindowText, link.foreground().color());
    setPalette(linkPalette);
    QFont underlined = font();
    underlined.setUnderline(link.fontUnderline());
    setFont(underlined);
    m_styling = false;
}

void HyperlinkTextField::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        setHyperlinkStyle();
}

QUrl HyperlinkTextField::url() const
{
    if (m_href.isEmpty())
        return {};
    return QUrl(m_href, QUrl::StrictMode);
}

void HyperlinkTextField::mousePressEvent(QMouseEvent* event)
{
    // The click is the link's alone: no selection, no editing.
    event->accept();
    const QUrl address = url();
    if (address.isValid() && !address.isRelative())
        QDesktopServices::openUrl(address);
}
