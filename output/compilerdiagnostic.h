#ifndef COMPILERDIAGNOSTIC_H
#define COMPILERDIAGNOSTIC_H

#include "errormessage.h"

#include <QString>
#include <QtGlobal>

// Input errors written the way compilers write their diagnostics, so that editors and CI tools
// can parse them: "FILE:LINE:COLUMN: SEVERITY: MESSAGE".

enum class DiagnosticSeverity { Error, Warning, Note };

// The severity of an error message's mark kind, by its first set bit as the editor tests them:
// 0x01 (a bad character) and 0x02 (the rest of the line) are errors, 0x04 a warning, 0x08 a
// note; a kind with none of these bits is an error.
DiagnosticSeverity diagnosticSeverity(quint8 markKind);

// "error", "warning" or "note".
QString severityName(DiagnosticSeverity severity);

// One diagnostic line, without a line end. Line and column are the message's, 1-based.
QString compilerDiagnosticLine(const QString& fileName, const ErrorMessage& error);

#endif
