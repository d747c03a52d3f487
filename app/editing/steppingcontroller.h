#ifndef STEPPINGCONTROLLER_H
#define STEPPINGCONTROLLER_H

#include <QObject>
#include <QString>

class CodeEditor;
class SentRegion;

// Run to Cursor and Step Back over a document's sent region (`region`, the editor's). Every text
// meant for the engine leaves through the input signal, which the window forwards as its own
// input, so it takes the same way as Step Forward's.
class SteppingController : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Sends, one line at a time and in order, each line up to and including the cursor's that
    // has not been sent, then puts the cursor at the start of the next line. Returns how many
    // lines went. When one of those lines holds a NUL character, none goes (see nulguard.h).
    int runToCursor(CodeEditor* editor, SentRegion* region);
    // Clears the engine's memory and sends again every sent line but the last, in the order
    // they were sent; the cursor goes to the start of the line taken back. Returns the number
    // of lines sent again, or -1 when nothing had been sent or a line to send again holds a
    // NUL character (then nothing is cleared or sent).
    int stepBack(CodeEditor* editor, SentRegion* region);

signals:
    void input(QString str, int line);
};

#endif
