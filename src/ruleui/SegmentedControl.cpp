// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/SegmentedControl.h"

#include "uikit/QColor+contrast.h"

#include <QEvent>
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

void SegmentedControl::setSelectedSegmentAccented()
{
    m_accented = true;
    applyAccent();
}

// The sheets sit on the segments, so that this control, unstyled, still
// hears of palette changes; they keep the colours they were given.
void SegmentedControl::applyAccent()
{
    const QColor accent = palette().color(QPalette::Highlight);
    // Whichever of the palette's text on the accent, black or white reads best.
    QColor label = palette().color(QPalette::HighlightedText);
    for (const QColor candidate : { QColor(Qt::black), QColor(Qt::white) })
        if (ColorContrast::ratio(candidate, accent) > ColorContrast::ratio(label, accent))
            label = candidate;
    const QString sheet = QStringLiteral("QToolButton:checked { background-color: %1; color: %2; border: 1px solid %1; border-radius: 3px; }")
                              .arg(accent.name(), label.name());
    for (QToolButton* segment : std::as_const(m_segments))
        segment->setStyleSheet(sheet);
}

void SegmentedControl::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_accented)
        applyAccent();
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
