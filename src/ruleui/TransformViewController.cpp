// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/TransformViewController.h"

#include "core/AppNotification+Typed.h"
#include "core/UserInputBlockObserver.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "rules/Transformers.h"
#include "ruleui/ButtonCollectionView.h"
#include "ruleui/ButtonViewController.h"
#include "ruleui/ButtonViewDataSource.h"
#include "ruleui/ButtonViewDelegate.h"
#include "ruleui/SelectorLineView.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleHints>
#include <QTimer>
#include <QVBoxLayout>

TransformViewController::TransformViewController(Transformers* transformers, QWidget* parent)
    : QWidget(parent)
    // Parented by the layout below, after the rule buttons: Tab reaches them first.
    , m_renameButton(new QPushButton(QStringLiteral("Rename")))
    , m_buttonView(new QWidget(this))
    , m_buttonScrollArea(new QScrollArea(this))
    , m_fileCountLabel(new QLabel(this))
    , m_progressIndicator(new QProgressBar(this))
    , m_selectorLine(new SelectorLineView(this))
    , m_buttonViewController(new ButtonViewController(m_buttonView))
{
    // However many rules there are, the bar fits the window: the buttons scroll.
    m_buttonScrollArea->setWidget(m_buttonView);
    m_buttonScrollArea->setWidgetResizable(true);
    m_buttonScrollArea->setFrameShape(QFrame::NoFrame);
    m_buttonScrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_buttonScrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_buttonScrollArea->setFocusPolicy(Qt::NoFocus);
    m_buttonScrollArea->setBackgroundRole(QPalette::Window);
    m_buttonScrollArea->viewport()->setBackgroundRole(QPalette::Window);
    m_buttonScrollArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout;
    row->addWidget(m_buttonScrollArea, 1);
    row->addWidget(m_progressIndicator);
    row->addWidget(m_fileCountLabel);
    row->addWidget(m_renameButton);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 4, 8, 0);
    column->setSpacing(0);
    column->addLayout(row);
    column->addWidget(m_selectorLine);
    auto* buttonLayout = new QHBoxLayout(m_buttonView);
    buttonLayout->setContentsMargins(0, 0, 0, 0);
    buttonLayout->addWidget(m_buttonViewController);

    m_progressIndicator->setRange(0, 0); // busy, no amount
    m_progressIndicator->setMaximumWidth(40);
    m_progressIndicator->setTextVisible(false);
    connect(m_renameButton, &QPushButton::clicked, this, &TransformViewController::renameButtonClicked);
    connect(m_buttonViewController->collectionView(), &ButtonCollectionView::selectorViewChanged, this,
        &TransformViewController::updateSelectorLocation);
    // The selector line follows the buttons when they scroll.
    connect(m_buttonScrollArea->horizontalScrollBar(), &QScrollBar::valueChanged, m_selectorLine,
        qOverload<>(&QWidget::update));
    m_renameButton->setAccessibleName(QStringLiteral("Rename"));
    m_renameButton->setAccessibleDescription(QStringLiteral("Renames the listed files on disk with the new names."));
    m_renameButton->setAutoDefault(false);
    // Space would click the focused button: only Return or Enter rename from the keyboard.
    m_renameButton->installEventFilter(this);
    m_fileCountLabel->setAccessibleName(QStringLiteral("Files to rename"));
    m_fileCountLabel->setContentsMargins(8, 0, 8, 0);
    m_progressIndicator->setAccessibleName(QStringLiteral("Work in progress"));
    m_selectorLine->setAccessibleName(QStringLiteral("Selected rename action"));

    initButtonView(transformers);
    // Room for the buttons and, when they do not fit, the scroll bar under them.
    m_buttonScrollArea->setFixedHeight(m_buttonViewController->sizeHint().height()
        + m_buttonScrollArea->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    initObservers();
    updateRenameButton();
    m_progressIndicator->hide();
}

void TransformViewController::initButtonView(Transformers* transformers)
{
    if (!transformers)
        return;
    auto* dataSource = new ButtonViewDataSource(transformers, m_buttonViewController);
    auto* delegate = new ButtonViewDelegate(transformers, m_buttonViewController);
    m_buttonViewController->setup(transformers, dataSource, delegate);
}

void TransformViewController::initObservers()
{
    auto& center = NotificationCenter::defaultCenter();
    new UserInputBlockObserver(
        [this](bool blocked) { blocked ? disableUserInputEvent() : enableUserInputEvent(); }, this);
    center.addObserver(this, NotificationName::validationResult, [this](const Notification& n) { fileValidationResultEvent(n); });
    center.addObserver(this, NotificationName::showProgressIndicator, [this](const Notification& n) { showProgressIndicator(n); });
    center.addObserver(this, NotificationName::hideProgressIndicator, [this](const Notification& n) { hideProgressIndicator(n); });
    center.addObserver(this, NotificationName::transformButtonUpdated, [this](const Notification&) { transformButtonUpdatedEvent(); });
}

void TransformViewController::setClock(Clock* clock)
{
    m_clock = clock ? clock : &Clock::system();
}

void TransformViewController::updateRenameButton()
{
    m_renameButton->setEnabled(m_userInputEnabled && m_renameCount && *m_renameCount > 0);
}

void TransformViewController::enableUserInputEvent()
{
    if (m_runGoing) {
        m_runGoing = false;
        m_runEndedAt = m_clock->now();
    }
    m_userInputEnabled = true;
    updateRenameButton();
}

void TransformViewController::disableUserInputEvent()
{
    // The input a requested run blocks is given back when the run ends.
    if (m_runRequested) {
        m_runRequested = false;
        m_runGoing = true;
    }
    m_userInputEnabled = false;
    updateRenameButton();
}

void TransformViewController::transformButtonUpdatedEvent()
{
    // The run wrote the renamed files back: the names shown until the next
    // preview are the old ones, and renaming by them again renames twice.
    if (m_runGoing)
        m_awaitingPreview = true;
}

void TransformViewController::fileValidationResultEvent(const Notification& notification)
{
    const FileValidationResultRef result = AppNotification::ValidationResult::get(notification);
    if (!result)
        return;
    // The first result after the write-back is the renamed files' preview.
    m_awaitingPreview = false;
    m_renameCount = result->renameCount;
    m_renameButton->setToolTip(QStringLiteral("   Total: %1\n   Errors: %2\n   Rename: %3")
                                   .arg(result->totalCount)
                                   .arg(result->errorCount)
                                   .arg(result->renameCount));
    updateLabels();
    updateProgressIndicatorAnimation();
}

void TransformViewController::updateSelectorLocation(QWidget* sender)
{
    m_selectorLine->setSelectorView(sender);
    // A reloaded button gets its place once the layouts have run.
    QTimer::singleShot(0, this, [this, button = QPointer<QWidget>(sender)] {
        if (button)
            m_buttonScrollArea->ensureWidgetVisible(button, 8, 0);
    });
}

QString TransformViewController::countText(qint64 renameCount)
{
    // The totals and errors are the Rename button's tool tip.
    return renameCount == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(renameCount);
}

void TransformViewController::updateLabels()
{
    m_fileCountLabel->show();
    if (!m_renameCount) {
        m_fileCountLabel->setText(QString());
        return;
    }
    m_fileCountLabel->setText(countText(*m_renameCount));
    updateRenameButton();
}

void TransformViewController::showProgressIndicator(const Notification& notification)
{
    const auto payload = AppNotification::ShowProgressIndicator::get(notification);
    m_progressMessages.append({ payload.messageId, payload.message });
    updateLabels();
    updateProgressIndicatorAnimation();
}

void TransformViewController::hideProgressIndicator(const Notification& notification)
{
    const QString id = AppNotification::HideProgressIndicator::get(notification);
    m_progressMessages.removeIf([&](const ProgressMessage& m) { return m.id == id; });
    updateLabels();
    updateProgressIndicatorAnimation();
}

void TransformViewController::updateProgressIndicatorAnimation()
{
    if (m_progressMessages.isEmpty()) {
        m_progressIndicator->hide();
        return;
    }
    m_progressIndicator->setToolTip(m_progressMessages.first().message);
    m_progressIndicator->show();
}

bool TransformViewController::isSecondRequest() const
{
    if (m_awaitingPreview)
        return true;
    // A double click, or a key pressed twice, that the run outpaced.
    const auto interval = std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    return m_runEndedAt && m_clock->now() - *m_runEndedAt < interval;
}

void TransformViewController::postCommitChanges()
{
    if (isSecondRequest()) {
        Log::debug(Log::Category::ui, "Rename request ignored: the last run ended a moment ago or its result is not shown yet.");
        return;
    }
    m_runRequested = true;
    AppNotification::post(NotificationName::commitChanges, {}, std::nullopt, QStringLiteral("renameFiles()"));
}

void TransformViewController::renameButtonClicked()
{
    postCommitChanges();
}

void TransformViewController::keyPressEvent(QKeyEvent* event)
{
    // Return or Enter renames only while the button itself has the focus; a
    // Return meant for another control never starts a rename.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_renameButton->hasFocus()
        && m_renameButton->isEnabled()) {
        Log::debug(Log::Category::ui, "Accessibility is focussed on the rename button, rename by pressing enter is supported.");
        postCommitChanges();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TransformViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_renameButton && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Select)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TransformViewController::validateRenameMenuItem() const
{
    return m_renameButton->isEnabled();
}

void TransformViewController::renameFiles(QObject*)
{
    postCommitChanges();
}

bool TransformViewController::validateMenuItem(QAction* item) const
{
    return item && item->property("selector").toString() == QLatin1String("renameFiles:") && validateRenameMenuItem();
}

QList<QObject*> TransformViewController::childViewControllers() const
{
    return { m_buttonViewController };
}
