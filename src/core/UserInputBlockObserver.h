// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

// Follows the requests to block user input (disableUserInput and
// enableUserInput), which nest while a long process such as a rename run holds
// the window; an unblock with nothing blocked leaves no credit for the next
// block. Tells its owner when input becomes blocked and when it is free again.
class UserInputBlockObserver : public QObject {
    Q_OBJECT
public:
    explicit UserInputBlockObserver(std::function<void(bool blocked)> changed, QObject* parent = nullptr);

    bool isBlocked() const { return m_level > 0; }
    int level() const { return m_level; }

private:
    std::function<void(bool blocked)> m_changed;
    int m_level = 0;
};
