// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A label that looks and acts as a link: link colour and underline, the
// pointing hand over the whole field, and a click opens `href` on the desktop.
// The text is plain; the address is never taken from the text.
class HyperlinkTextField : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString href READ href WRITE setHref)
public:
    explicit HyperlinkTextField(QWidget* parent = nullptr);
    HyperlinkTextField(const QString& text, const QString& href, QWidget* parent = nullptr);

    QString href() const { return m_href; }
    void setHref(const QString& href) { m_href = href; }

    // The address a click opens; invalid when `href` is empty or no address.
    QUrl url() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // The link colour follows the palette (a dark theme has its own).
    void changeEvent(QEvent* event) override;

private:
    void setHyperlinkStyle();
    bool m_styling = false;

    QString m_href;
};
