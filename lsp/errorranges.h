#ifndef ERRORRANGES_H
#define ERRORRANGES_H

#include "documenttext.h"
#include "errormessage.h"

#include <QJsonArray>
#include <QString>
#include <QVector>

// An engine error placed in the document it was found in: 0-based line, UTF-16 columns.
struct ErrorRange {
    enum Severity { Error = 1, Warning = 2, Information = 3 };
    int line = 0;
    int start = 0;
    int end = 0;
    Severity severity = Error;
    QString text;

    bool contains(int line, int column) const
    {
        return line == this->line && column >= start && column <= end;
    }
};

// Where the engine's errors lie in `text`. The engine counts lines from 1 and columns from 1 in
// UTF-16 code units. The mark's first set bit says what is marked: 0x01 the one character at the
// column (both halves of a surrogate pair), otherwise from the column to the end of the line;
// and the severity: a warning (0x04), a note (0x08), else an error. Lines and columns beyond the
// text are held to its last line and to the end of the line.
QVector<ErrorRange> errorRanges(const QVector<ErrorMessage>& errors, const DocumentText& text);

// A run that did not complete, as one error on the first line.
ErrorRange failureRange(const QString& failure, const DocumentText& text);

// The protocol's diagnostics for the ranges, positions in `encoding`.
QJsonArray diagnostics(const QVector<ErrorRange>& ranges, const DocumentText& text,
                       PositionEncoding encoding);

#endif
