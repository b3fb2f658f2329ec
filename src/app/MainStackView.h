// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/UserInputBlockObserver.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QVBoxLayout;

// The main column: the rule bar, the rule editor, the file table and the
// progress overlay one under the other. It takes dropped files and folders, and
// while a long run blocks input it lets no click, key, shortcut, menu or drop
// reach the window except the abort button of the progress overlay.
class MainStackView : public QWidget {
    Q_OBJECT
public:
    explicit MainStackView(QWidget* parent = nullptr);
    ~MainStackView() override;

    bool isEnabled() const { return !m_inputBlock.isBlocked(); }
    int blockedUserInterfaceLevel() const { return m_inputBlock.level(); }

    void addArrangedSubview(QWidget* view);
    // A view that outlives the column (a controller kept in the registry): the
    // column hands it back, without a parent, instead of deleting it.
    void addSharedArrangedSubview(QWidget* view);
    void setSpacing(int spacing);
    QVBoxLayout* stackLayout() const { return m_layout; }

    // Whether a blocked window still lets this object receive input.
    static bool isAbortControl(const QObject* object);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void blockedChanged(bool blocked);
    bool belongsToThisWindow(const QObject* object) const;

    QVBoxLayout* m_layout = nullptr;
    QList<QPointer<QWidget>> m_sharedViews;
    UserInputBlockObserver m_inputBlock;
};
