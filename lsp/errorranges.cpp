#include "errorranges.h"

#include <QJsonObject>

namespace {

QJsonObject position(const DocumentText& text, int line, int column, PositionEncoding encoding)
{
    return {
        {QStringLiteral("line"), line},
        {QStringLiteral("character"), DocumentText::unitsOf(text.line(line), column, encoding)}};
}

} // namespace

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
        } else if (!(error.kind & 0x02) && (error.kind & 0x04)) {
            range.severity = ErrorRange::Warning;
        } else if (!(error.kind & 0x02) && (error.kind & 0x08)) {
            range.severity = ErrorRange::Information;
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
        list.append(QJsonObject{
            {QStringLiteral("range"),
             QJsonObject{
                 {QStringLiteral("start"), position(text, range.line, range.start, encoding)},
                 {QStringLiteral("end"), position(text, range.line, range.end, encoding)}}},
            {QStringLiteral("severity"), int(range.severity)},
            {QStringLiteral("source"), QStringLiteral("quor")},
            {QStringLiteral("message"), range.text}});
    }
    return list;
}
