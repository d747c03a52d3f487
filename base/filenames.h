#ifndef FILENAMES_H
#define FILENAMES_H

#include <QString>

// File-name rules shared by the save dialogs.

// The filter of the document and memory-dump dialogs, translated in the "MainWindow" context.
QString documentFileFilter();

// ".quor" is appended unless the name ends with ".quor", ".qrs" or ".txt" in any letter case:
// "dump" -> "dump.quor", "dump.TXT" unchanged, "notes.md" -> "notes.md.quor".
QString withDocumentSuffix(const QString& fileName);

// ".svg" is appended unless the name already ends with it in any letter case.
QString withSvgSuffix(const QString& fileName);

// ".pdf" is appended only when the file-name part has no suffix at all.
QString withPdfSuffix(const QString& fileName);

#endif
