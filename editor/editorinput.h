#ifndef EDITORINPUT_H
#define EDITORINPUT_H

#include <QString>

class CodeEditor;

// What Run and Step Forward take from a document to send to the engine: a text and the line
// number of its first line.
struct EditorInput {
    QString text;
    int line = 1;
    int position = 0; // where the text begins in the document
};

// Run: the selection and the line of its first character, or the whole text and line 1. Clears
// the document's error marks.
EditorInput takeRunInput(CodeEditor& editor);

// Step Forward: the cursor's line. Removes that line's error marks.
EditorInput takeStepInput(CodeEditor& editor);
// After a step: moves the cursor to the start of the next line, if there is one.
void moveToNextLine(CodeEditor& editor);

#endif
