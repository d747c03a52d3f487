#include "errorranges.h"

#include "compilerdiagnostic.h"

#include <QJsonObject>

QVector<ErrorRange> errorRanges(const QVector<ErrorMessage>& errors, const DocumentText& text)
{
    QVector<ErrorRange> ranges;
    ranges.reserve(errors.size());
    for (const ErrorMessage& error : errors) {
        ErrorRange range;
        range.line = int(qBound<quint32>(1, error.line, quint32(text.lineCount())) - 1);
        const QStringRef line = text.line(range.line);
        range.start = int(qMin<quint32>(qMax<quint32>(error.column, 1) - 1, quint32(line.size())));
        range.end = line.size();
        if (error.kind & 0x01) {
            const bool pair = range.start + 1 < line.size() &&
                              line.at(range.start).isHighSurrogate() &&
                              line.at(range.start + 1).isLowSurrogate();
            range.end = qMin(line.size(), range.start + (pair ? 2 : 1));
        }
        switch (diagnosticSeverity(error.kind)) {
        case DiagnosticSeverity::Warning:
            range.severity = ErrorRange::Warning;
            break;
        case DiagnosticSeverity::Note:
            range.severity = ErrorRange::Information;
            break;
        case DiagnosticSeverity::Error:
            break;
        }
        range.text = error.text;
        ranges.append(range);
    }
    return ranges;
}

ErrorRange failureRange(const QString& failure, const DocumentText& text)
{
    ErrorRange range;
    range.end = text.lineLength(0);
    range.text = failure;
    return range;
}

QJsonArray diagnostics(const QVector<ErrorRange>& ranges, const DocumentText& text,
                       PositionEncoding encoding)
{
    QJsonArray list;
    for (const ErrorRange& range : ranges) {
        list.append(QJsonObject{{QStringLiteral("range"),
                                 text.protocolRange(range.line, range.start, range.end, encoding)},
                                {QStringLiteral("severity"), int(range.severity)},
                                {QStringLiteral("source"), QStringLiteral("quor")},
                                {QStringLiteral("message"), range.text}});
    }
    return list;
}
