// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QToolButton;

// A row of toggle segments: exactly one selected, or any number.
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    enum class Mode { selectOne, selectAny };
    SegmentedControl(const QStringList& labels, Mode mode, QWidget* parent = nullptr);

    int segmentCount() const { return int(m_segments.size()); }
    bool isSelected(int segment) const;
    void setSelected(int segment, bool selected);
    // The single selected segment, or the one last clicked in selectAny mode; -1 for none.
    int selectedSegment() const { return m_selectedSegment; }
    void setSelectedSegment(int segment);
    QToolButton* segment(int index) const { return m_segments.value(index); }

protected:
    void changeEvent(QEvent* event) override;

signals:
    void segmentClicked(int segment);

private:
    Mode m_mode;
    QList<QToolButton*> m_segments;
    int m_selectedSegment = -1;

    // Checked segments in the accent colour, their label in the colour that
    // reads on it, so that on and off differ at well over 3:1; both follow the palette.
    void applyAccent();
};
