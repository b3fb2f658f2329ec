// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace String {

// One CSV field, quoted when it holds the separator, a double quote or a line end.
QString escapedForCSV(const QString& field, const QString& separator = QStringLiteral(";"));

// One CSV field that parseCSV reads back whole whichever separator it picks,
// also first in a file: quoted when it holds a comma, semicolon, tab, double
// quote, line end or byte order mark.
QString escapedForCSVImport(const QString& field);

// Reads CSV text row by row. The separator is the first comma, semicolon or
// tab outside quotes; every row has at least two fields.
void parseCSV(const QString& text, const std::function<void(const QStringList&)>& processRow);

} // namespace String
