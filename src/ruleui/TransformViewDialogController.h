// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notification.h"
#include "rules/Transformers.h"
#include "tokenui/TokenFieldHost.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QToolButton;
class DescriptionEditView;
class SegmentedControl;
class TokenTextViewController;
class TransformerView;

// The rule editor: shows the current rule, its kind, enabled state and scope,
// hosts the editor of its kind, and writes every change back into the rule
// list as one undo step "Update Rename Action".
class TransformViewDialogController : public QWidget, public TokenFieldHost {
    Q_OBJECT
public:
    explicit TransformViewDialogController(Transformers* transformers, QWidget* parent = nullptr);
    ~TransformViewDialogController() override;

    QComboBox* typeSelector() const { return m_typeSelector; }
    QCheckBox* enabledSwitch() const { return m_enabledSwitch; }
    SegmentedControl* scopeSegmentedControl() const { return m_scopeSegmentedControl; }
    QToolButton* descriptionButton() const { return m_descriptionButton; }
    // The description popover while it is open.
    DescriptionEditView* descriptionEditView() const;
    const QList<TransformerView*>& transformerViews() const { return m_transformerViews; }
    TransformerView* currentTransformerView() const;
    const QString& currentTransformerId() const { return m_currentTransformerId; }
    TransformScope currentScopeValue() const override;

    void enabledSwitchClicked();
    void typeSelectorChanged();
    void transformScope();
    void descriptionEdit();

    // Notification handlers.
    void transformButtonUpdatedEvent();
    void transformButtonSaveEvent();
    void insertToken(const Notification& notification);
    void selectTransformerEvent(const Notification& notification);
    void enableControls(bool enabled);
    // After a rule is added: the keyboard focus goes to the first control of
    // its editor once the editor shows it.
    void focusFirstFieldWhenShown();
    // Why the rule cannot run on any file (a pattern that does not compile), if so.
    static std::optional<QString> ruleError(const Transformer& rule);
    QLabel* ruleErrorLabel() const { return m_ruleErrorLabel; }

    // The menu command that opens the token chooser; its tokens go into the
    // shown rule's token field.
    Q_INVOKABLE void showTokenChooser(QObject* sender);
    TokenTextViewController* tokenTextViewController() const;

protected:
    // The description icon is drawn in the palette's colours: draw it again when they change.
    void changeEvent(QEvent* event) override;
    // The shaded background that sets the editor apart from the list; the
    // rule bar's notch is filled with the same colour.
    void paintEvent(QPaintEvent* event) override;

private:
    void initControls();
    void initObservers();
    void updateControlsForTypeSelector();
    void updateTabOrder();
    void focusFirstFieldIfShown();
    void updateRuleError();
    void loadState(const QString& id);
    void loadTransformerState(const QString& id);
    Transformer getUpdatedTransformer(const QString& id, const std::optional<QString>& description, const Transformer& existing);
    void saveTransformerState(const Transformer& transformer);
    void saveState(const QString& id, std::optional<std::optional<QString>> newDescription = std::nullopt);
    bool scopeChanged() const;
    void descriptionEditCompleted(const Transformer& rule, const QString& description);
    static QIcon getDescriptionButtonIcon(const Transformer& rule);

    QPointer<Transformers> m_transformers;
    QComboBox* m_typeSelector;
    QWidget* m_transformerStackView;
    QCheckBox* m_enabledSwitch;
    SegmentedControl* m_scopeSegmentedControl;
    QToolButton* m_descriptionButton;
    QLabel* m_ruleErrorLabel;
    QPointer<QWidget> m_invalidField;
    QPointer<DescriptionEditView> m_descriptionEditView;
    QPointer<TokenTextViewController> m_tokenTextViewController;
    QList<TransformerView*> m_transformerViews;
    const QList<TransformScope> m_scopeValues { TransformScope::filename, TransformScope::path, TransformScope::ext,
        TransformScope::fullPath };
    QList<TransformerType> m_typeSelectorTypes;
    int m_lastKnownScopeIndex = -1;
    QString m_currentTransformerId;
    QWidget* m_currentTransformerViewController = nullptr;
    // The rule as last loaded or saved here: edits are saved before a reload
    // only while the list still holds this value.
    std::optional<Transformer> m_shownTransformer;
    QString m_focusFirstFieldOf;
};
