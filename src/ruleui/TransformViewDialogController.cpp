// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/TransformViewDialogController.h"

#include "core/AppNotification+Typed.h"
#include "core/UserInputBlockObserver.h"
#include "tokenui/TokenTextViewController.h"
#include "tokenui/TransformDialogTextField.h"
#include "core/UndoManager+perform.h"
#include "platform/NotificationCenter.h"
#include "ruleui/ConversionTransformerViewController.h"
#include "ruleui/DescriptionEditView.h"
#include "ruleui/FindTextTransformerViewController.h"
#include "ruleui/InsertTransformerViewController.h"
#include "ruleui/NumberingTransformerViewController.h"
#include "ruleui/RegexTransformerViewController.h"
#include "ruleui/SegmentedControl.h"
#include "ruleui/SelectTransformerViewController.h"
#include "ruleui/TransformerView.h"
#include "ruleui/TrimTransformerViewController.h"
#include "tokenui/TokenTextViewController.h"
#include "tokenui/TransformDialogTextField.h"
#include "uikit/AppStyle.h"
#include "uikit/ImageUtil.h"
#include "uikit/NamedComboBox.h"
#include "uikit/ViewTree.h"

#include "files/File.h"
#include "files/FileIndex.h"

#include <QCheckBox>
#include <QLabel>
#include <QUuid>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QEvent>
#include <QToolButton>
#include <QVBoxLayout>

TransformViewDialogController::TransformViewDialogController(Transformers* transformers, QWidget* parent)
    : QWidget(parent)
    , m_transformers(transformers)
    , m_typeSelector(new NamedComboBox(this))
    , m_transformerStackView(new QWidget(this))
    , m_enabledSwitch(new QCheckBox(QStringLiteral("Enabled"), this))
    , m_scopeSegmentedControl(new SegmentedControl({ QStringLiteral("Filename"), QStringLiteral("Path"), QStringLiteral("Extension"),
                                                        QStringLiteral("Full Path") },
          SegmentedControl::Mode::selectOne, this))
    , m_descriptionButton(new QToolButton(this))
    , m_ruleErrorLabel(new QLabel(this))
{
    m_transformerViews = {
        new SimpleTransformerViewController,
        new InsertTransformerViewController,
        new PrefixTransformerViewController,
        new SuffixTransformerViewController,
        new SetTransformerViewController,
        new NumberingTransformerViewController,
        new TrimTransformerViewController,
        new ConversionTransformerViewController,
        new RegexTransformerViewController,
        new SelectTransformerViewController,
    };
    auto* top = new QHBoxLayout;
    top->addWidget(m_typeSelector);
    top->addWidget(m_enabledSwitch);
    top->addWidget(m_descriptionButton);
    top->addStretch(1);
    top->addWidget(m_scopeSegmentedControl);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(m_transformerStackView, 1);
    column->addWidget(m_ruleErrorLabel);
    auto* stack = new QVBoxLayout(m_transformerStackView);
    stack->setContentsMargins(0, 0, 0, 0);

    connect(m_enabledSwitch, &QCheckBox::clicked, this, &TransformViewDialogController::enabledSwitchClicked);
    connect(m_typeSelector, &QComboBox::activated, this, &TransformViewDialogController::typeSelectorChanged);
    connect(m_scopeSegmentedControl, &SegmentedControl::segmentClicked, this, &TransformViewDialogController::transformScope);
    connect(m_descriptionButton, &QToolButton::clicked, this, &TransformViewDialogController::descriptionEdit);
    m_typeSelector->setAccessibleName(QStringLiteral("Kind"));
    // Says why the rule cannot run; the error colour alone would not.
    m_ruleErrorLabel->setAccessibleName(QStringLiteral("Rule error"));
    m_ruleErrorLabel->setWordWrap(true);
    m_ruleErrorLabel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_ruleErrorLabel->setForegroundRole(QPalette::WindowText);
    m_ruleErrorLabel->hide();
    m_scopeSegmentedControl->setAccessibleName(QStringLiteral("Scope"));
    m_descriptionButton->setAutoRaise(true);
    m_descriptionButton->setAccessibleName(QStringLiteral("Description"));
    m_descriptionButton->setToolTip(QStringLiteral("Describe this rename action"));
    m_descriptionButton->setIconSize(QSize(18, 18));
    m_descriptionButton->setIcon(getDescriptionButtonIcon(Transformer()));
    initControls();
    initObservers();
}

TransformViewDialogController::~TransformViewDialogController()
{
    // Editors not shown have no parent widget.
    for (TransformerView* view : std::as_const(m_transformerViews))
        if (!view->viewController()->parent())
            delete view->viewController();
}

void TransformViewDialogController::initControls()
{
    m_typeSelector->clear();
    for (TransformerView* view : std::as_const(m_transformerViews)) {
        const TransformViewInfo info = view->transformViewInfo();
        m_typeSelectorTypes << info.transformerType;
        m_typeSelector->addItem(info.selectorLabel);
    }
}

void TransformViewDialogController::initObservers()
{
    auto& center = NotificationCenter::defaultCenter();
    new UserInputBlockObserver([this](bool blocked) { enableControls(!blocked); }, this);
    center.addObserver(this, NotificationName::transformButtonUpdated, [this](const Notification&) { transformButtonUpdatedEvent(); });
    center.addObserver(this, NotificationName::transformButtonSave, [this](const Notification&) { transformButtonSaveEvent(); });
    center.addObserver(this, NotificationName::insertToken, [this](const Notification& n) { insertToken(n); });
    center.addObserver(this, NotificationName::selectTransformer, [this](const Notification& n) { selectTransformerEvent(n); });
}

TransformerView* TransformViewDialogController::currentTransformerView() const
{
    const int index = m_typeSelector->currentIndex();
    return index >= 0 && index < m_transformerViews.size() ? m_transformerViews.at(index) : nullptr;
}

TransformScope TransformViewDialogController::currentScopeValue() const
{
    const int segment = m_scopeSegmentedControl->selectedSegment();
    return segment >= 0 && segment < m_scopeValues.size() ? m_scopeValues.at(segment) : TransformScope::filename;
}

bool TransformViewDialogController::scopeChanged() const
{
    return m_scopeSegmentedControl->selectedSegment() != m_lastKnownScopeIndex;
}

void TransformViewDialogController::updateControlsForTypeSelector()
{
    TransformerView* view = currentTransformerView();
    if (!view)
        return;
    QWidget* editor = view->viewController();
    if (m_currentTransformerViewController && m_currentTransformerViewController != editor) {
        m_currentTransformerViewController->hide();
        m_transformerStackView->layout()->removeWidget(m_currentTransformerViewController);
        m_currentTransformerViewController->setParent(nullptr);
    }
    if (editor->parentWidget() != m_transformerStackView) {
        editor->setParent(m_transformerStackView);
        m_transformerStackView->layout()->addWidget(editor);
    }
    editor->show();
    m_currentTransformerViewController = editor;
    updateTabOrder();
    updateRuleError();
}

void TransformViewDialogController::updateTabOrder()
{
    // A shown editor joins the window's focus chain at its end: put its
    // controls after the rule's own, in reading order.
    QList<QWidget*> order { m_typeSelector, m_enabledSwitch, m_descriptionButton };
    for (int i = 0; i < m_scopeSegmentedControl->segmentCount(); ++i)
        order << m_scopeSegmentedControl->segment(i);
    if (m_currentTransformerViewController)
        order << ViewTree::tabStops(m_currentTransformerViewController);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

std::optional<QString> TransformViewDialogController::ruleError(const Transformer& rule)
{
    // The rule run once on a made-up name: a pattern that does not compile
    // fails it whatever the name. Missing attributes are no fault of the rule.
    ExtendedFileInfo info;
    info.fullPath = QStringLiteral("/folder/name.txt");
    info.path = QStringLiteral("/folder");
    info.name = QStringLiteral("name");
    info.ext = QStringLiteral("txt");
    const QUuid id = QUuid::createUuid();
    File file(std::nullopt, std::nullopt, FileSource(id, info), FileTransform::initial(id, info, std::nullopt),
        FileValidation { id, {}, {} }, std::nullopt);
    FileIndex fileIndex;
    Transformer probe = rule;
    probe.disabled = false;
    probe.transformQuick(file, fileIndex);
    // The run records its failure in the file.
    if (file.validation.errors.isEmpty())
        return std::nullopt;
    return *file.validation.errors.cbegin();
}

void TransformViewDialogController::updateRuleError()
{
    const std::optional<QString> error = m_shownTransformer ? ruleError(*m_shownTransformer) : std::nullopt;
    QWidget* field = currentTransformerView() ? currentTransformerView()->patternField() : nullptr;
    // The tint is made afresh from the palette in force, also after a palette switch.
    if (m_invalidField) {
        m_invalidField->setPalette(QPalette());
        m_invalidField->setAccessibleDescription(QString());
    }
    m_ruleErrorLabel->setVisible(error.has_value());
    m_ruleErrorLabel->setText(error ? QStringLiteral("⚠ %1").arg(*error) : QString());
    m_invalidField = error ? field : nullptr;
    if (!m_invalidField)
        return;
    // Only the base is the field's own; from the application's palette, as the
    // parents may not have heard of a switch yet.
    QPalette tinted;
    tinted.setColor(QPalette::Base,
        AppStyle::blended(QApplication::palette(m_invalidField).color(QPalette::Base), 0.25, AppStyle::tableTextError()));
    m_invalidField->setPalette(tinted);
    m_invalidField->setAccessibleDescription(QStringLiteral("Invalid: %1").arg(*error));
}

void TransformViewDialogController::focusFirstFieldWhenShown()
{
    m_focusFirstFieldOf = m_transformers ? m_transformers->currentTransformerId().value_or(QString()) : QString();
    focusFirstFieldIfShown();
}

void TransformViewDialogController::focusFirstFieldIfShown()
{
    if (m_focusFirstFieldOf.isEmpty() || m_focusFirstFieldOf != m_currentTransformerId || isHidden()
        || !m_currentTransformerViewController)
        return;
    m_focusFirstFieldOf.clear();
    const QList<QWidget*> stops = ViewTree::tabStops(m_currentTransformerViewController);
    if (!stops.isEmpty())
        stops.first()->setFocus(Qt::TabFocusReason);
}

void TransformViewDialogController::loadState(const QString& id)
{
    if (id != m_currentTransformerId) {
        hide();
        if (!m_currentTransformerId.isEmpty() && m_transformers)
            if (auto stored = m_transformers->transformer(m_currentTransformerId)) {
                const Transformer updated = getUpdatedTransformer(stored->id, stored->description, *stored);
                if (!(updated == *stored))
                    saveTransformerState(updated);
            }
    }
    loadTransformerState(id);
}

void TransformViewDialogController::loadTransformerState(const QString& id)
{
    if (!m_transformers)
        return;
    const auto rule = m_transformers->transformer(id);
    if (!rule)
        return;
    m_enabledSwitch->setChecked(!rule->disabled);
    for (TransformerView* view : std::as_const(m_transformerViews))
        view->loadState(rule->properties);
    m_currentTransformerId = rule->id;
    const int typeIndex = int(m_typeSelectorTypes.indexOf(rule->type));
    m_typeSelector->setCurrentIndex(typeIndex);
    updateControlsForTypeSelector();
    const int scopeIndex = int(m_scopeValues.indexOf(rule->transformScope));
    m_scopeSegmentedControl->setSelectedSegment(scopeIndex < 0 ? 0 : scopeIndex);
    m_lastKnownScopeIndex = m_scopeSegmentedControl->selectedSegment();
    m_shownTransformer = rule;
    updateRuleError();
    if (rule->needsInitialSave) {
        const Transformer updated = getUpdatedTransformer(rule->id, rule->description, *rule);
        if (!(updated == *rule))
            saveTransformerState(updated);
    }
    show();
    m_descriptionButton->setIcon(getDescriptionButtonIcon(*rule));
    focusFirstFieldIfShown();
}

Transformer TransformViewDialogController::getUpdatedTransformer(const QString& id, const std::optional<QString>& description,
    const Transformer& existing)
{
    TransformerProperties properties = existing.properties;
    for (TransformerView* view : std::as_const(m_transformerViews))
        view->saveState(properties);
    Transformer result = existing;
    result.id = id;
    result.description = description;
    const int typeIndex = m_typeSelector->currentIndex();
    if (typeIndex >= 0 && typeIndex < m_typeSelectorTypes.size())
        result.type = m_typeSelectorTypes.at(typeIndex);
    result.transformScope = currentScopeValue();
    result.disabled = !m_enabledSwitch->isChecked();
    result.properties = properties;
    result.needsInitialSave = false;
    m_lastKnownScopeIndex = m_scopeSegmentedControl->selectedSegment();
    return result;
}

void TransformViewDialogController::saveTransformerState(const Transformer& transformer)
{
    if (!m_transformers)
        return;
    const auto stored = m_transformers->transformer(transformer.id);
    if (!stored)
        return;
    m_shownTransformer = transformer;
    updateRuleError();
    if (stored->needsInitialSave) {
        m_transformers->addOrReplaceTransformer(transformer);
        return;
    }
    QPointer<Transformers> list(m_transformers);
    const Transformer oldValue = *stored;
    // The selection follows undo and redo on a later turn of the event loop.
    auto reselect = [id = transformer.id] { AppNotification::SelectTransformer::post(id); };
    UndoManagerHelpers::perform(QStringLiteral("Update Rename Action"),
        [list, transformer] { if (list) list->addOrReplaceTransformer(transformer); },
        [list, oldValue, reselect] { if (list) { list->addOrReplaceTransformer(oldValue); reselect(); } },
        [list, transformer, reselect] { if (list) { list->addOrReplaceTransformer(transformer); reselect(); } });
}

void TransformViewDialogController::saveState(const QString& id, std::optional<std::optional<QString>> newDescription)
{
    if (!m_transformers)
        return;
    const auto stored = m_transformers->transformer(id);
    if (!stored)
        return;
    const Transformer updated = getUpdatedTransformer(id, newDescription ? *newDescription : stored->description, *stored);
    if (!(updated == *stored))
        saveTransformerState(updated);
}

void TransformViewDialogController::enabledSwitchClicked()
{
    saveState(m_currentTransformerId);
}

void TransformViewDialogController::typeSelectorChanged()
{
    saveState(m_currentTransformerId);
    updateControlsForTypeSelector();
}

void TransformViewDialogController::transformScope()
{
    if (!scopeChanged())
        return;
    saveState(m_currentTransformerId);
    m_lastKnownScopeIndex = m_scopeSegmentedControl->selectedSegment();
    const TransformScope scope = currentScopeValue();
    if (scope == TransformScope::path || scope == TransformScope::fullPath)
        AppNotification::post(NotificationName::uncollapsePathColumns, {}, std::nullopt, QStringLiteral("transformScope(_:)"));
    else if (m_transformers && !m_transformers->hasPathScope())
        AppNotification::post(NotificationName::collapsePathColumns, {}, std::nullopt, QStringLiteral("transformScope(_:)"));
}

DescriptionEditView* TransformViewDialogController::descriptionEditView() const
{
    return m_descriptionEditView;
}

void TransformViewDialogController::descriptionEdit()
{
    if (!m_transformers)
        return;
    const auto id = m_transformers->currentTransformerId();
    const auto rule = id ? m_transformers->transformer(*id) : std::nullopt;
    if (!rule)
        return;
    const auto kind = rule->transformer();
    QPointer<TransformViewDialogController> self(this);
    auto* view = new DescriptionEditView(this);
    view->setDescriptionValue(rule->description.value_or(QString()));
    view->setHelpTextValue(kind ? kind->helpText() : QString());
    view->setCompletionHandler([self, rule = *rule](const QString& description) {
        // The popover is closing: save on a later turn, once it is gone.
        QMetaObject::invokeMethod(
            qApp,
            [self, rule, description] {
                if (self)
                    self->descriptionEditCompleted(rule, description);
            },
            Qt::QueuedConnection);
    });
    m_descriptionEditView = view;
    view->presentBeside(m_descriptionButton);
}

void TransformViewDialogController::descriptionEditCompleted(const Transformer& rule, const QString& description)
{
    if (m_transformers) {
        if (rule.id == m_currentTransformerId) {
            saveState(rule.id, std::make_optional(std::optional<QString>(description)));
        } else if (auto stored = m_transformers->transformer(rule.id)) {
            // The click that closed the popover may have shown another rule:
            // the editors now hold that rule's values, so only the text changes.
            Transformer updated = *stored;
            updated.description = description;
            updated.needsInitialSave = false;
            if (!(updated == *stored))
                saveTransformerState(updated);
        }
    }
    AppNotification::post(NotificationName::transformButtonUpdated, {}, std::nullopt, QStringLiteral("descriptionEdit(_:)"));
}

void TransformViewDialogController::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), AppStyle::darkBackgroundColor(this));
}

void TransformViewDialogController::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        m_descriptionButton->setIcon(getDescriptionButtonIcon(m_shownTransformer.value_or(Transformer())));
        if (m_invalidField)
            updateRuleError();
    }
}

QIcon TransformViewDialogController::getDescriptionButtonIcon(const Transformer& rule)
{
    const bool filled = rule.description && !rule.description->isEmpty();
    const QColor textColor = QGuiApplication::palette().color(QPalette::ButtonText);
    QPixmap pixmap = ImageUtil::transparentCanvas(QSize(18, 18));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF circle(1.5, 1.5, 15, 15);
    // "info.circle.fill": the letter in the text colour on an accent disc;
    // "info.circle": ring and letter in the text colour.
    if (filled) {
        p.setPen(Qt::NoPen);
        p.setBrush(AppStyle::accentColor());
        p.drawEllipse(circle);
    } else {
        p.setPen(QPen(textColor, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(circle);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(textColor);
    p.drawEllipse(QPointF(9, 5.6), 1.2, 1.2);
    p.drawRoundedRect(QRectF(8, 7.8, 2, 6), 0.8, 0.8);
    p.end();
    return QIcon(pixmap);
}

void TransformViewDialogController::transformButtonUpdatedEvent()
{
    if (!m_transformers || !m_transformers->currentTransformerId()) {
        hide();
        return;
    }
    // A reload of the rule shown would drop edits not saved yet (typing
    // within the save delay): save them first, unless the list's value of
    // the rule changed elsewhere meanwhile (then the list's value wins).
    const QString id = *m_transformers->currentTransformerId();
    if (id == m_currentTransformerId && m_shownTransformer)
        if (auto stored = m_transformers->transformer(id); stored && *stored == *m_shownTransformer)
            saveState(id);
    loadState(id);
}

void TransformViewDialogController::insertToken(const Notification& notification)
{
    TransformerView* view = currentTransformerView();
    TransformDialogTextField* field = view ? view->insertTokenField() : nullptr;
    const std::optional<QString> tokenId = AppNotification::InsertToken::get(notification);
    if (!field || !tokenId || tokenId->isEmpty())
        return;
    // The clipboard is the user's: a token chosen from the panel never replaces it.
    field->setTokenString(field->tokenString() + TokenItem::attribute(*tokenId));
    saveState(m_currentTransformerId);
}

TokenTextViewController* TransformViewDialogController::tokenTextViewController() const
{
    return m_tokenTextViewController;
}

void TransformViewDialogController::showTokenChooser(QObject*)
{
    // One chooser a window, kept for the next time.
    if (!m_tokenTextViewController)
        m_tokenTextViewController = new TokenTextViewController(window());
    // It opens by the field its tokens go into, else by the editor or the window.
    TransformerView* view = currentTransformerView();
    QWidget* field = view ? view->insertTokenField() : nullptr;
    if (!field || !field->isVisible())
        field = isVisible() ? static_cast<QWidget*>(this) : window();
    m_tokenTextViewController->setTargetTextField(field);
    AppNotification::post(NotificationName::showTokenTextView, {}, std::nullopt, QStringLiteral("showTokenChooser(_:)"));
}

void TransformViewDialogController::transformButtonSaveEvent()
{
    saveState(m_currentTransformerId);
}

void TransformViewDialogController::selectTransformerEvent(const Notification& notification)
{
    if (const auto id = AppNotification::SelectTransformer::getId(notification))
        loadState(*id);
}

void TransformViewDialogController::enableControls(bool enabled)
{
    m_typeSelector->setEnabled(enabled);
    m_enabledSwitch->setEnabled(enabled);
    m_scopeSegmentedControl->setEnabled(enabled);
    for (TransformerView* view : std::as_const(m_transformerViews))
        view->enableControls(enabled);
}
