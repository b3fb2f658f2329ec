// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PlaceholderView.h"

PlaceholderView::PlaceholderView(const QString& description, QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignCenter);
    setMargin(12);
    setFrameShape(QFrame::StyledPanel);
    setForegroundRole(QPalette::PlaceholderText);
    setText(description);
}
