// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Replace texts of the pattern searches: "$1" names a capture group and a
// backslash takes the next character literally.
namespace ReplacementTemplate {

// The text as a template that inserts it literally.
QString escaped(const QString& text);

// Throws TransformError (fatal) when the template names a group the pattern
// lacks or holds a "$" that names no group.
void check(const QString& replacementTemplate, int groupCount);

} // namespace ReplacementTemplate
