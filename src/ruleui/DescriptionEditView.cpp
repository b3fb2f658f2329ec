// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/DescriptionEditView.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

DescriptionEditView::DescriptionEditView(QWidget* parent)
    : QWidget(parent, Qt::Popup)
    , m_tooltipTextField(new QLineEdit(this))
    , m_helpTextField(new QLabel(this))
    , m_binButton(new QToolButton(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_helpTextField->setWordWrap(true);
    m_helpTextField->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_helpTextField->setMinimumWidth(320);
    m_binButton->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    m_binButton->setAutoRaise(true);
    m_binButton->setAccessibleName(QStringLiteral("Remove Description"));
    m_binButton->setToolTip(QStringLiteral("Remove the description"));
    m_tooltipTextField->setAccessibleName(QStringLiteral("Description"));
    m_tooltipTextField->setPlaceholderText(QStringLiteral("Description, shown as the button's tool tip"));
    setAccessibleName(QStringLiteral("Description"));
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(m_tooltipTextField, 0, 0);
    layout->addWidget(m_binButton, 0, 1);
    layout->addWidget(m_helpTextField, 1, 0, 1, 2);
    // Only Return stores the text: a click outside hands the old description back.
    connect(m_tooltipTextField, &QLineEdit::returnPressed, this, &DescriptionEditView::tooltipChanged);
    connect(m_binButton, &QToolButton::clicked, this, &DescriptionEditView::binButtonAction);
}

DescriptionEditView::DescriptionEditView(const QString& helpText, const QString& description,
    CompletionHandler completionHandler, QWidget* parent)
    : DescriptionEditView(parent)
{
    m_helpTextValue = helpText;
    m_descriptionValue = description;
    m_completionHandler = std::move(completionHandler);
}

void DescriptionEditView::presentBeside(QWidget* anchor)
{
    // The texts go in before the size is taken, so the help text is never cut.
    loadView();
    adjustSize();
    QPoint origin = anchor->mapToGlobal(QPoint(anchor->width(), (anchor->height() - sizeHint().height()) / 2));
    if (const QScreen* screen = anchor->screen()) {
        const QRect available = screen->availableGeometry();
        origin.setX(std::min(origin.x(), available.right() - width()));
        origin.setY(std::clamp(origin.y(), available.top(), std::max(available.top(), available.bottom() - height())));
    }
    move(origin);
    show();
}

void DescriptionEditView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    loadView();
    m_tooltipTextField->setFocus(Qt::PopupFocusReason);
    // The popup takes the keyboard focus only after its show event.
    QMetaObject::invokeMethod(this, &DescriptionEditView::viewDidAppear, Qt::QueuedConnection);
}

void DescriptionEditView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    viewWillDisappear();
}

void DescriptionEditView::loadView()
{
    if (m_viewLoaded)
        return;
    m_viewLoaded = true;
    viewDidLoad();
}

void DescriptionEditView::paintEvent(QPaintEvent*)
{
    // A popup has no frame of its own: a border sets it off from the window below.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void DescriptionEditView::viewDidLoad()
{
    m_helpTextField->setText(m_helpTextValue);
    m_tooltipTextField->setText(m_descriptionValue);
}

void DescriptionEditView::viewDidAppear()
{
    if (!m_tooltipTextField->hasFocus())
        return;
    m_tooltipTextField->deselect();
    m_tooltipTextField->end(false);
}

void DescriptionEditView::viewWillDisappear()
{
    if (m_completionHandler)
        m_completionHandler(m_descriptionValue);
}

void DescriptionEditView::tooltipChanged()
{
    m_descriptionValue = m_tooltipTextField->text();
    close();
}

void DescriptionEditView::binButtonAction()
{
    m_tooltipTextField->clear();
    m_descriptionValue.clear();
    close();
}
