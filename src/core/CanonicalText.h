// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Names are compared canonically: a composed and a decomposed accent are the
// same name. Every equality test of names goes through here.
namespace CanonicalText {

// Unicode canonical composition (NFC).
QString nfc(const QString& text);

bool equal(const QString& a, const QString& b);
bool equalCaseInsensitive(const QString& a, const QString& b);

} // namespace CanonicalText
