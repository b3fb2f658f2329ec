// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ruleui/TransformerView.h"

#include <QList>
#include <QMap>
#include <QWidget>

class QComboBox;
class QToolButton;

// The Conversion editor: an optional find text, the conversion to apply and,
// for the lookup conversion, its options and the button that opens the
// lookup-table editor. The table itself is written by that editor only.
class ConversionTransformerViewController : public QWidget, public TransformerView {
    Q_OBJECT
public:
    struct Option {
        QString title;
        ConversionType type;
    };
    // The popup's items in order: title and stored conversion.
    static const QList<Option>& conversionOptions();

    explicit ConversionTransformerViewController(QWidget* parent = nullptr);

    QWidget* viewController() override { return this; }
    TransformViewInfo transformViewInfo() override;
    void loadState(const TransformerProperties& properties) override;
    QWidget* patternField() override;
    void saveState(TransformerProperties& properties) override;

    TransformDialogTextField* conversionFindText() const { return m_conversionFindText; }
    SegmentedControl* conversionFindOptions() const { return m_conversionFindOptions; }
    QComboBox* conversionSelector() const { return m_conversionSelector; }
    QToolButton* lookupTableButton() const { return m_lookupTableButton; }
    SegmentedControl* lookupOptions() const { return m_lookupOptions; }

    void stateChanged();
    void openLookupTableButtonClicked();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    std::optional<ConversionType> selectedConversion() const;
    // Shows the lookup controls exactly while "Lookup" is selected; leaving
    // the lookup conversion closes the lookup-table editor.
    void updateLookupTableButtons();
    void postHideLookupTable(const QString& function);

    TransformDialogTextField* m_conversionFindText;
    SegmentedControl* m_conversionFindOptions;
    QComboBox* m_conversionSelector;
    QToolButton* m_lookupTableButton;
    SegmentedControl* m_lookupOptions;
    bool m_showsLookup = false;
};
