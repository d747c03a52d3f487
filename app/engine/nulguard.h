#ifndef NULGUARD_H
#define NULGUARD_H

class CodeEditor;
struct EditorInput;

// The engine takes each input as a C string: a NUL character in a document would silently cut
// off everything after it. An input that holds one is not sent; the user is told which line
// holds it, and the cursor goes there.
//
// True when `input` (taken from `editor`) holds a NUL character and was refused.
bool refuseNulCharacter(CodeEditor& editor, const EditorInput& input);

#endif
