// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ruleui/TransformerView.h"

#include <QList>
#include <QMap>
#include <QWidget>

class IntegerField;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The Trim editor: an optional find text, where to trim, an offset and a
// count, what to trim or keep, the set of characters for the "any of" and
// "any except" modes, and whether spaces at both ends go too.
class TrimTransformerViewController : public QWidget, public TransformerView {
    Q_OBJECT
public:
    struct Matching {
        QString title;
        QString value;
        QString description;
    };
    // Position popup title to stored value, in popup order.
    static const QList<std::pair<QString, QString>>& locationSelections();
    static const QList<Matching>& matchingSelections();

    explicit TrimTransformerViewController(QWidget* parent = nullptr);

    QWidget* viewController() override { return this; }
    TransformViewInfo transformViewInfo() override;
    void enableDynamicControls(bool enabled) override;
    void loadState(const TransformerProperties& properties) override;
    QWidget* patternField() override;
    void saveState(TransformerProperties& properties) override;

    TransformDialogTextField* findText() const { return m_findText; }
    SegmentedControl* findOptions() const { return m_findOptions; }
    QComboBox* positionSelector() const { return m_positionSelector; }
    IntegerField* offsetText() const { return m_offsetText; }
    IntegerField* countText() const { return m_countText; }
    QComboBox* matchingSelector() const { return m_matchingSelector; }
    QLabel* charactersLabel() const { return m_charactersLabel; }
    QLineEdit* charactersText() const { return m_charactersText; }
    QCheckBox* trimLeadingTrailingSpacesCheckbox() const { return m_trimLeadingTrailingSpacesCheckbox; }

    bool isCharactersFieldEnabled() const;
    QString selectedMatch() const;
    QString selectedLocation() const;

    void matchingSelectorChanged();

private:
    void showHideCharactersField();

    TransformDialogTextField* m_findText;
    SegmentedControl* m_findOptions;
    QComboBox* m_positionSelector;
    IntegerField* m_offsetText;
    IntegerField* m_countText;
    QComboBox* m_matchingSelector;
    QLabel* m_charactersLabel;
    QLineEdit* m_charactersText;
    QCheckBox* m_trimLeadingTrailingSpacesCheckbox;
    bool m_inputEnabled = true;
};
