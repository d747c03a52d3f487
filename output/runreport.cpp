#include "runreport.h"

#include "xmltext.h"

#include <QMap>

#include <algorithm>

namespace {

QString escaped(const QString& text)
{
    return xmlEscaped(text);
}

const char* const style = R"(<style>
body { font-family: "DejaVu Sans", sans-serif; font-size: 10pt; margin: 1.5em; color: #222; }
h1 { font-size: 15pt; } h2 { font-size: 12pt; margin-top: 1.6em; }
pre, .src { font-family: "DejaVu Sans Mono", monospace; font-size: 9pt; }
.src { border-collapse: collapse; }
.src td { padding: 0 0.6em; white-space: pre; vertical-align: top; }
.src td.n { color: #888; text-align: right; }
.src tr.error td { background: #FFE0E0; }
.src tr.warning td { background: #E0EEFA; }
.src tr.note td { background: #E4EEE9; }
.src tr.msg td { background: none; font-style: italic; color: #A00; }
table.terms { border-collapse: collapse; }
table.terms td, table.terms th { border: 1px solid #CCC; padding: 1px 0.5em; text-align: left; }
.graph { overflow: auto; border: 1px solid #DDD; }
.meta { color: #555; }
</style>
)";

QString sourceSection(const RunReportSource& source)
{
    QMap<int, QVector<const RunReportError*>> byLine;
    for (const RunReportError& error : source.errors)
        byLine[error.line].append(&error);

    QString html =
        QStringLiteral("<h3>%1</h3>\n<table class=\"src\">\n").arg(escaped(source.fileName));
    const QStringList lines = source.text.split(QLatin1Char('\n'));
    auto messages = [&](const QVector<const RunReportError*>& errors) {
        QString rows;
        for (const RunReportError* error : errors)
            rows += QStringLiteral("<tr class=\"msg\"><td></td><td>%1:%2: %3: %4</td></tr>\n")
                        .arg(error->line)
                        .arg(error->column)
                        .arg(severityName(error->severity), escaped(error->text));
        return rows;
    };
    for (int i = 0; i < lines.size(); ++i) {
        const auto found = byLine.constFind(i + 1);
        QString rowClass;
        if (found != byLine.cend()) {
            // The most severe diagnostic of the line colours it.
            DiagnosticSeverity worst = DiagnosticSeverity::Note;
            for (const RunReportError* error : *found)
                worst = std::min(worst, error->severity);
            rowClass = QStringLiteral(" class=\"%1\"").arg(severityName(worst));
        }
        html += QStringLiteral("<tr%1><td class=\"n\">%2</td><td>%3</td></tr>\n")
                    .arg(rowClass)
                    .arg(i + 1)
                    .arg(escaped(lines.at(i)));
        if (found != byLine.cend())
            html += messages(*found);
    }
    // Errors placed beyond the last line are still listed.
    for (auto it = byLine.cbegin(); it != byLine.cend(); ++it)
        if (it.key() < 1 || it.key() > lines.size())
            html += messages(it.value());
    return html + QStringLiteral("</table>\n");
}

QString tableSection(const RunReportTable& table)
{
    QString html = QStringLiteral("<h3>%1 (%2)</h3>\n<table class=\"terms\">\n<tr>")
                       .arg(escaped(table.title))
                       .arg(table.rows.size());
    for (const QString& header : table.header)
        html += QStringLiteral("<th>%1</th>").arg(escaped(header));
    html += QStringLiteral("</tr>\n");
    for (const QStringList& row : table.rows) {
        html += QStringLiteral("<tr>");
        for (const QString& cell : row)
            html += QStringLiteral("<td>%1</td>").arg(escaped(cell));
        html += QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</table>\n");
}

QString graphSection(const QString& title, const QString& svg)
{
    QString html = QStringLiteral("<h3>%1</h3>\n").arg(escaped(title));
    if (svg.isEmpty())
        return html + QStringLiteral("<p class=\"meta\">No graph.</p>\n");
    // The document is the one the view saves; its texts are escaped already.
    return html + QStringLiteral("<div class=\"graph\">\n") + svg + QStringLiteral("\n</div>\n");
}

} // namespace

RunReportTable termReportTable(TermTableKind kind, const QVector<TermRecord>& records)
{
    static const char* const titles[] = {"Words", "Compounds", "Statements"};
    static const char* const names[] = {"Word", "Compound Term", "Statement"};
    const int index = static_cast<int>(kind);
    RunReportTable table;
    table.title = QString::fromLatin1(titles[index]);
    table.header = QStringList{QStringLiteral("Term Id"), QString::fromLatin1(names[index])};
    QVector<TermRecord> sorted = records;
    // The docks compare names as the table widget does, in the user's locale, keeping the
    // message's order for equal names.
    std::stable_sort(sorted.begin(), sorted.end(), [](const TermRecord& a, const TermRecord& b) {
        return QString::localeAwareCompare(a.name, b.name) < 0;
    });
    for (const TermRecord& record : sorted)
        table.rows.append(QStringList{termIdText(record.id), record.name});
    return table;
}

QString termTableFileName(TermTableKind kind)
{
    static const char* const files[] = {"words.csv", "compounds.csv", "statements.csv"};
    return QString::fromLatin1(files[static_cast<int>(kind)]);
}

QString runReportHtml(const RunReport& report)
{
    QString html = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                                  "<title>%1</title>\n")
                       .arg(escaped(report.title));
    html += QString::fromLatin1(style);
    html += QStringLiteral("</head>\n<body>\n<h1>%1</h1>\n").arg(escaped(report.title));
    html += QStringLiteral("<p class=\"meta\">QUOR library version %1<br>\n%2<br>\n%3</p>\n")
                .arg(escaped(report.engineVersion), escaped(report.timeLine),
                     escaped(report.date.toString(Qt::ISODate)));

    int errorCount = 0;
    for (const RunReportSource& source : report.sources)
        errorCount += source.errors.size();
    html += QStringLiteral("<h2>Source (%1 diagnostic%2)</h2>\n")
                .arg(errorCount)
                .arg(errorCount == 1 ? "" : "s");
    for (const RunReportSource& source : report.sources)
        html += sourceSection(source);

    html += QStringLiteral("<h2>Output</h2>\n");
    if (report.outputLinesLeftOut > 0)
        html += QStringLiteral("<p class=\"meta\">%1 earlier line%2 left out.</p>\n")
                    .arg(report.outputLinesLeftOut)
                    .arg(report.outputLinesLeftOut == 1 ? "" : "s");
    html +=
        QStringLiteral("<pre>") + escaped(report.output.join('\n')) + QStringLiteral("</pre>\n");

    html += QStringLiteral("<h2>Tables</h2>\n");
    for (const RunReportTable& table : report.tables)
        html += tableSection(table);

    html += QStringLiteral("<h2>Graphs</h2>\n");
    html += graphSection(QStringLiteral("Question derivation"), report.questionSvg);
    html += graphSection(QStringLiteral("Inferences"), report.inferenceSvg);
    return html + QStringLiteral("</body>\n</html>\n");
}
