// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <stdexcept>

// A stored form that cannot be read: a member of the wrong type, a required
// member missing, an unknown case name. Thrown by the JSON readers of tokens.
class DecodingError : public std::runtime_error {
public:
    explicit DecodingError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};
