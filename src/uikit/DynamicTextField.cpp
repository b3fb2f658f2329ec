// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/DynamicTextField.h"

#include <QEvent>
#include <QTextDocument>

#include <cmath>
#include <memory>

DynamicTextField::DynamicTextField(QWidget* parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
    // A subclass may change the text before the field is placed; the height
    // follows from then on.
    connect(this, &QTextEdit::textChanged, this, [this] { updateGeometry(); });
    if (parent)
        setupLayout();
}

void DynamicTextField::setupLayout()
{
    if (m_isSetup)
        return;
    m_isSetup = true;
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    updateGeometry();
}

bool DynamicTextField::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange && parentWidget())
        setupLayout();
    return QTextEdit::event(event);
}

int DynamicTextField::heightForWidth(int width) const
{
    const QMargins frame = contentsMargins() + viewportMargins();
    const int textWidth = std::max(1, width - frame.left() - frame.right());
    // Measure a copy: the shown document keeps the width it is laid out at.
    std::unique_ptr<QTextDocument> measure(document()->clone());
    measure->setTextWidth(textWidth);
    const int textHeight = static_cast<int>(std::ceil(measure->size().height()));
    return textHeight + frame.top() + frame.bottom();
}

QSize DynamicTextField::sizeHint() const
{
    return QSize(QTextEdit::sizeHint().width(), heightForWidth(width()));
}

QSize DynamicTextField::minimumSizeHint() const
{
    return QSize(QTextEdit::minimumSizeHint().width(), heightForWidth(width()));
}
