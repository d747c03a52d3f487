#ifndef INPUTFILE_H
#define INPUTFILE_H

#include <QString>

// One input file of a run, read as the window opens a document: UTF-8, line ends as in a text
// file, at most MaxTextFileBytes. A file that is not valid UTF-8 is refused rather than sent
// with replacement characters, and one that holds a NUL character rather than sent cut short.
class InputFile {
public:
    // Reads the file; on failure returns false and sets `error` to the line to print, naming
    // the file and the reason.
    bool read(const QString& fileName, QString* error);

    const QString& name() const { return fileName; }
    const QString& text() const { return content; }

private:
    QString fileName;
    QString content;
};

#endif
