// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Case mapping of names: full Unicode mappings ("ß" upper-cases to "SS"), the
// same in every locale, so a rule gives the same name on every machine.
namespace String {

QString uppercased(const QString& text);
QString lowercased(const QString& text);
// Every word with its first letter upper case and the rest lower case.
QString capitalized(const QString& text);

} // namespace String
