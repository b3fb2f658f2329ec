#pragma once

#include "ruleui/TransformerView.h"

#include <QWidget>

// The place of a rule kind whose editor is not built yet: it shows the kind
// and keeps the rule's settings untouched (it saves nothing).
class PendingTransformerView : public QWidget, public TransformerView {
    Q_OBJECT
public:
    PendingTransformerView(TransformerType type, const QString& buttonLabel, const QString& selectorLabel,
        QWidget* parent = nullptr);

    QWidget* viewController() override { return this; }
    TransformViewInfo transformViewInfo() override { return { m_type, m_buttonLabel, m_selectorLabel, this }; }
    void loadState(const TransformerProperties&) override {}
    void saveState(TransformerProperties&) override {}

private:
    TransformerType m_type;
    QString m_buttonLabel;
    QString m_selectorLabel;
};
