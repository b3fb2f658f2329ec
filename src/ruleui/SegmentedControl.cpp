// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/SegmentedControl.h"

#include "uikit/AppStyle.h"
#include "uikit/QColor+contrast.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>

namespace {

// A segment of a select-one control: one choice of a group.
class ChoiceSegment final : public QToolButton {
    Q_OBJECT
public:
    using QToolButton::QToolButton;
};

// Qt names every checkable button a check box; a choice of a group is a radio button.
class AccessibleChoiceSegment final : public QAccessibleWidget {
public:
    explicit AccessibleChoiceSegment(ChoiceSegment* segment)
        : QAccessibleWidget(segment, QAccessible::RadioButton)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        const auto* segment = static_cast<const QToolButton*>(widget());
        if (t == QAccessible::Name)
            return segment->accessibleName().isEmpty() ? segment->text() : segment->accessibleName();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        const auto* segment = static_cast<const QToolButton*>(widget());
        state.checkable = true;
        state.checked = segment->isChecked();
        return state;
    }
    QStringList actionNames() const override { return { pressAction() }; }
    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            static_cast<QToolButton*>(widget())->click();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* choiceSegmentFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("ChoiceSegment"))
        if (auto* segment = qobject_cast<ChoiceSegment*>(object))
            return new AccessibleChoiceSegment(segment);
    return nullptr;
}

} // namespace

SegmentedControl::SegmentedControl(const QStringList& labels, Mode mode, QWidget* parent)
    : QWidget(parent)
    , m_mode(mode)
{
    static const bool installed = [] {
        QAccessible::installFactory(choiceSegmentFactory);
        return true;
    }();
    Q_UNUSED(installed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < labels.size(); ++i) {
        auto* button = mode == Mode::selectOne ? new ChoiceSegment(this) : new QToolButton(this);
        button->setText(labels.at(i));
        button->setCheckable(true);
        // One of a group: a screen reader hears radio buttons, arrow keys move among them.
        button->setAutoExclusive(mode == Mode::selectOne);
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
    applyAccent();
}

// The sheets sit on the segments, so that this control, unstyled, still
// hears of palette changes; they keep the colours they were given.
void SegmentedControl::applyAccent()
{
    const QColor accent = AppStyle::toggleOnColor(this);
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
    if (event->type() == QEvent::PaletteChange)
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
    if (m_mode != Mode::selectOne)
        return;
    // An exclusive group refuses to uncheck its checked button: none selected needs it lifted.
    for (QToolButton* each : std::as_const(m_segments))
        each->setAutoExclusive(false);
    for (int i = 0; i < m_segments.size(); ++i)
        m_segments.at(i)->setChecked(i == segment);
    for (QToolButton* each : std::as_const(m_segments))
        each->setAutoExclusive(true);
}

#include "SegmentedControl.moc"
