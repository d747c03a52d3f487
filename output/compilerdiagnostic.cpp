#include "compilerdiagnostic.h"

DiagnosticSeverity diagnosticSeverity(quint8 markKind)
{
    if (markKind & 0x03)
        return DiagnosticSeverity::Error;
    if (markKind & 0x04)
        return DiagnosticSeverity::Warning;
    if (markKind & 0x08)
        return DiagnosticSeverity::Note;
    return DiagnosticSeverity::Error;
}

QString severityName(DiagnosticSeverity severity)
{
    switch (severity) {
    case DiagnosticSeverity::Warning:
        return QStringLiteral("warning");
    case DiagnosticSeverity::Note:
        return QStringLiteral("note");
    case DiagnosticSeverity::Error:
        break;
    }
    return QStringLiteral("error");
}

QString compilerDiagnosticLine(const QString& fileName, const ErrorMessage& error)
{
    // A message is one line: line ends inside the engine's text would start a line that a
    // parser takes for another diagnostic.
    QString text = error.text;
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringLiteral("%1:%2:%3: %4: %5")
        .arg(fileName)
        .arg(error.line)
        .arg(error.column)
        .arg(severityName(diagnosticSeverity(error.kind)), text);
}
