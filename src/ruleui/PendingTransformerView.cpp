#include "ruleui/PendingTransformerView.h"

#include <QLabel>
#include <QVBoxLayout>

PendingTransformerView::PendingTransformerView(TransformerType type, const QString& buttonLabel, const QString& selectorLabel,
    QWidget* parent)
    : QWidget(parent)
    , m_type(type)
    , m_buttonLabel(buttonLabel)
    , m_selectorLabel(selectorLabel)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(selectorLabel, this));
    layout->addStretch(1);
}
