// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenAttributeViewController.h"

#include "core/AppNotification.h"
#include "tokenui/TokenAttributeDateView.h"
#include "tokenui/TokenAttributeGPSView.h"
#include "tokenui/TokenAttributeRegexView.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "tokenui/TransformDialogTextField.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <limits>

TokenAttributeViewController::TokenAttributeViewController(QWidget* parent)
    : QFrame(parent, Qt::Popup)
    , m_form(new QFormLayout(this))
{
    setFrameShape(QFrame::StyledPanel);
}

TokenAttributeViewController* TokenAttributeViewController::makeControllerForTokenItem(const TokenTextAttachmentInfo& info)
{
    // Owned by the field's window, so it never outlives it.
    QWidget* parent = info.controlView ? info.controlView->window() : nullptr;
    TokenAttributeViewController* controller = nullptr;
    switch (tokenAttributeViewKind(info.tokenItem)) {
    case TokenAttributeViewKind::date:
        controller = new TokenAttributeDateView(parent);
        break;
    case TokenAttributeViewKind::gps:
        controller = new TokenAttributeGPSView(parent);
        break;
    case TokenAttributeViewKind::regex:
        controller = new TokenAttributeRegexView(parent);
        break;
    case TokenAttributeViewKind::number:
        controller = new TokenAttributeNumberView(parent);
        break;
    case TokenAttributeViewKind::string:
        controller = new TokenAttributeStringView(parent);
        break;
    }
    controller->setTokenAttachmentInfo(info);
    return controller;
}

void TokenAttributeViewController::present()
{
    if (!m_loaded && m_info) {
        m_loaded = true;
        viewDidLoad(m_info->tokenItem);
    }
    if (m_info && m_info->controlView) {
        QWidget* field = m_info->controlView;
        const QPoint below = field->mapToGlobal(QPoint(int(m_info->frame.left()), int(m_info->frame.bottom()) + 2));
        adjustSize();
        move(below);
    }
    show();
    if (QWidget* first = nextInFocusChain(); first && isAncestorOf(first))
        first->setFocus(Qt::PopupFocusReason);
}

std::optional<qint64> TokenAttributeViewController::integerValue(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool sign = i == 0 && (c == QLatin1Char('+') || c == QLatin1Char('-'));
        if (!sign && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

QLineEdit* TokenAttributeViewController::addTextField(const QString& label, const QString& accessibleName, bool stepsWithArrows)
{
    auto* field = new QLineEdit(this);
    field->setAccessibleName(accessibleName);
    field->setToolTip(accessibleName);
    if (stepsWithArrows) {
        field->installEventFilter(this);
        field->setToolTip(accessibleName + QStringLiteral(" (Up and Down arrows step it)"));
    }
    m_form->addRow(label, field);
    return field;
}

bool TokenAttributeViewController::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            // Text that is no number counts as 0; the step stops at the ends of the range.
            const qint64 value = integerValue(field->text()).value_or(0);
            const qint64 stepped = key == Qt::Key_Up ? (value == std::numeric_limits<qint64>::max() ? value : value + 1)
                                                     : (value == std::numeric_limits<qint64>::min() ? value : value - 1);
            field->setText(QString::number(stepped));
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TokenAttributeViewController::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    if (!m_closed) {
        m_closed = true;
        viewWillDisappear();
        // One popover per double click.
        deleteLater();
    }
}

void TokenAttributeViewController::viewWillDisappear()
{
    if (!m_info || !m_loaded)
        return;
    auto* editor = qobject_cast<TokenTextFieldEditor*>(m_info->controlView.data());
    if (!editor)
        return;
    TokenItem item = m_info->tokenItem;
    writeBack(item);
    if (!editor->replaceTokenItem(m_info->location, m_info->tokenItem, item))
        return;
    m_info->tokenItem = item;
    TransformDialogTextField* field = editor->controlView();
    if (!field)
        return;
    AppNotification::post(NotificationName::transformButtonSave, {}, std::nullopt, QStringLiteral("viewWillDisappear()"));
    QPointer<TransformDialogTextField> weakField(field);
    QTimer::singleShot(0, field, [weakField] {
        if (weakField && weakField->window())
            weakField->acquireFocus();
    });
}

TokenAttributeStringView::TokenAttributeStringView(QWidget* parent)
    : TokenAttributeViewController(parent)
    , prefixTextField(addTextField(QStringLiteral("&Prefix:"), QStringLiteral("Prefix")))
    , suffixTextField(addTextField(QStringLiteral("&Suffix:"), QStringLiteral("Suffix")))
{
    setAccessibleName(QStringLiteral("Token settings"));
}

void TokenAttributeStringView::viewDidLoad(const TokenItem& item)
{
    prefixTextField->setText(item.prefix);
    suffixTextField->setText(item.suffix);
}

void TokenAttributeStringView::writeBack(TokenItem& item)
{
    item.prefix = prefixTextField->text();
    item.suffix = suffixTextField->text();
}

TokenAttributeNumberView::TokenAttributeNumberView(QWidget* parent)
    : TokenAttributeStringView(parent)
    , digitsText(addTextField(QStringLiteral("&Digits:"), QStringLiteral("Number of digits"), true))
{
}

void TokenAttributeNumberView::viewDidLoad(const TokenItem& item)
{
    TokenAttributeStringView::viewDidLoad(item);
    digitsText->setText(QString::number(item.numberDigits));
}

void TokenAttributeNumberView::writeBack(TokenItem& item)
{
    TokenAttributeStringView::writeBack(item);
    const std::optional<qint64> digits = integerValue(digitsText->text());
    // A number that does not fit the token's field is no number either.
    item.numberDigits = digits && *digits >= std::numeric_limits<int>::min() && *digits <= std::numeric_limits<int>::max()
        ? int(*digits)
        : 1;
}
