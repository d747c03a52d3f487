#ifndef PRINTING_H
#define PRINTING_H

class CodeEditor;
class QWidget;

// Printing and PDF export of a document; the dialogs have `window` as parent.

// Print ...: the print dialog (offering the selection when there is one), then the printout.
void printDocument(CodeEditor& editor, QWidget* window);

// Print to pdf ...: a file name (".pdf" added when it has no suffix), then the PDF; a warning
// when no file was written.
void exportPdf(CodeEditor& editor, QWidget* window);

#endif
