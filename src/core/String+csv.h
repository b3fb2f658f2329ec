#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace String {

// One CSV field, quoted when it holds the separator, a double quote or a line end.
QString escapedForCSV(const QString& field, const QString& separator = QStringLiteral(";"));

// A field that a spreadsheet would run as a formula (one that begins with "=",
// "+", "-" or "@") with a "'" in front, which spreadsheets take as "text
// follows" and do not show; any other field unchanged.
QString guardedAgainstFormula(const QString& field);

// Reads CSV text row by row. The separator is the first comma, semicolon or
// tab outside quotes; every row has at least two fields.
void parseCSV(const QString& text, const std::function<void(const QStringList&)>& processRow);

} // namespace String
