#include "ruleui/SegmentedControl.h"

#include <QHBoxLayout>
#include <QToolButton>

SegmentedControl::SegmentedControl(const QStringList& labels, Mode mode, QWidget* parent)
    : QWidget(parent)
    , m_mode(mode)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < labels.size(); ++i) {
        auto* button = new QToolButton(this);
        button->setText(labels.at(i));
        button->setCheckable(true);
        // Checked and unchecked differ by more than colour: the label's weight.
        connect(button, &QToolButton::toggled, button, [button](bool checked) {
            QFont font = button->font();
            font.setBold(checked);
            button->setFont(font);
        });
        layout->addWidget(button);
        m_segments << button;
        connect(button, &QToolButton::clicked, this, [this, i] {
            if (m_mode == Mode::selectOne)
                setSelectedSegment(i);
            else
                m_selectedSegment = i;
            emit segmentClicked(i);
        });
    }
}

bool SegmentedControl::isSelected(int segment) const
{
    return segment >= 0 && segment < m_segments.size() && m_segments.at(segment)->isChecked();
}

void SegmentedControl::setSelected(int segment, bool selected)
{
    if (segment >= 0 && segment < m_segments.size())
        m_segments.at(segment)->setChecked(selected);
}

void SegmentedControl::setSelectedSegment(int segment)
{
    m_selectedSegment = segment;
    if (m_mode == Mode::selectOne)
        for (int i = 0; i < m_segments.size(); ++i)
            m_segments.at(i)->setChecked(i == segment);
}
