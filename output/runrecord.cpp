#include "runrecord.h"

#include "compilerdiagnostic.h"
#include "overloaded.h"
#include "svgwriter.h"

#include <climits>

namespace {

int tableIndex(MessageKind kind)
{
    return kind == MessageKind::Words ? 0 : kind == MessageKind::Compounds ? 1 : 2;
}

} // namespace

RunRecord::RunRecord(int keptOutputLines) : keptLines(keptOutputLines) {}

std::optional<QString> RunRecord::add(const DecodedMessage& message, const QString& fileName,
                                      const OutputOptions& options)
{
    std::visit(Overloaded{
                   [](const TextMessage&) {},
                   [this](const TimeMessage& m) {
                       if (!countingTime || !m.time)
                           return;
                       timeCounted = true;
                       microseconds += m.time->microseconds;
                       cycles += m.time->cycles;
                   },
                   [this](const LibraryVersion& m) { version = m.version; },
                   [&](const InputErrorMessage& m) {
                       if (!m.error)
                           return;
                       const ErrorListItem at = errorListItem(*m.error, fileName);
                       errors.append({fileName, RunReportError{at.line, at.column,
                                                               diagnosticSeverity(m.error->kind),
                                                               m.error->text}});
                   },
                   [this](const TermTableContents& m) { tables[tableIndex(m.kind)] = m.records; },
                   [this](const MemoryDumpContents& m) { memory = m.dump; },
                   [this](const QuestionTree& m) { question = m; },
                   [this](const InferenceGraph& m) { inference = m; },
               },
               message);

    std::optional<QString> line = outputText(message, options);
    if (line && keptLines != 0) {
        output.push_back(*line);
        if (keptLines > 0 && output.size() > std::size_t(keptLines)) {
            output.pop_front();
            ++linesLeftOut;
        }
    }
    return line;
}

void RunRecord::clearOutput()
{
    output.clear();
    linesLeftOut = 0;
    errors.clear();
    timeCounted = false;
    microseconds = 0;
    cycles = 0;
}

const QVector<TermRecord>& RunRecord::table(TermTableKind kind) const
{
    return tables[static_cast<int>(kind)];
}

RunReport RunRecord::report(const QString& title, QVector<RunReportSource> sources) const
{
    RunReport report;
    report.title = title;
    for (RunReportSource& source : sources)
        for (const auto& [fileName, error] : errors)
            if (fileName == source.fileName)
                source.errors.append(error);
    report.sources = std::move(sources);
    report.output.reserve(int(output.size()));
    for (const QString& line : output)
        report.output.append(line);
    report.outputLinesLeftOut = linesLeftOut;
    for (int i = 0; i < 3; ++i)
        report.tables.append(termReportTable(static_cast<TermTableKind>(i), tables[i]));
    if (question)
        report.questionSvg = svgDocument(questionTreeDrawing(*question));
    if (inference)
        report.inferenceSvg = svgDocument(inferenceGraphDrawing(*inference));
    if (timeCounted)
        report.timeLine =
            elapsedTimeLine(ElapsedTime{quint32(qMin<quint64>(microseconds, UINT_MAX)),
                                        quint32(qMin<quint64>(cycles, UINT_MAX))});
    report.engineVersion = version;
    report.date = QDateTime::currentDateTime();
    return report;
}
