// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

// The thin line under the rule buttons; a notch in it points up at the
// selected button and is filled with the rule editor's background colour.
class SelectorLineView : public QWidget {
    Q_OBJECT
public:
    explicit SelectorLineView(QWidget* parent = nullptr);

    QWidget* selectorView() const { return m_selectorView; }
    void setSelectorView(QWidget* view);

    // The x of the notch's left foot in this view, none without a selection.
    std::optional<qreal> notchX() const;
    static QColor lineColor(const QWidget* view);
    static QColor notchColor(const QWidget* view);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void watch(QWidget* view, bool on);

    QPointer<QWidget> m_selectorView;
};
