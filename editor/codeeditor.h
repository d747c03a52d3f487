#ifndef CODEEDITOR_H
#define CODEEDITOR_H

#include "highlighter.h"
#include "markwindow.h"

#include <QByteArray>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QVector>

class QAction;
class QPagedPaintDevice;
class QPaintEvent;
class QRect;
class QResizeEvent;
class QTextBlock;
class GutterPainter;
class LineNumberArea;

// An input error reported by the engine, drawn as an underline on its line.
struct ErrorMark {
    int column; // 1-based, within the line
    int line;   // 1-based, text block number + 1
    uchar kind; // bit flags choosing colour and extent
};

// The editor of one document: plain text with a line-number gutter, current-line highlight,
// error marks, symbol keys for the notation, syntax highlighting, bracket matching and
// copying as HTML.
class CodeEditor : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CodeEditor(QWidget* parent = nullptr);
    ~CodeEditor() override;

    void lineNumberAreaPaintEvent(QPaintEvent* event);
    int lineNumberAreaWidth() const;

    void addErrorMark(int column, int line, uchar kind);
    void removeErrorMarks(int line);
    void clearErrorMarks();
    // Puts the cursor column characters into line (1-based); a line beyond the last block
    // means the last block, and the cursor never leaves the line's block.
    void goToPosition(int column, int line);

    const QVector<ErrorMark>& marks() const { return errorMarks; }

    // Prints the document with its highlighting complete.
    void print(QPagedPaintDevice* printer);

    // Has `painter` draw over the gutter from now on, after those added before it.
    void addGutterPainter(GutterPainter* painter);

signals:
    // c is the 1-based line, r the 1-based column of the text cursor.
    void cursorPositionChanged(int c, int r);

private slots:
    void updateLineNumberAreaWidth(int newBlockCount);
    void updateLineNumberArea(const QRect& rect, int dy);
    void highlightCurrentLine();
    void matchParentheses();
    void copyAsHtml();

public slots:
    void cursorPosition();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool matchLeftParenthesis(QTextBlock block, int index, int depth, char opening, char closing);
    bool matchRightParenthesis(QTextBlock block, int index, int depth, char closing, char opening);
    // The walk both share: from entry index of block on, forward or backward, for the partner
    // of bracket at the given depth; selects it when found.
    bool matchBracket(QTextBlock block, int index, int depth, char bracket, char partner,
                      bool forward);
    void createParenthesisSelection(int pos);
    QList<QTextEdit::ExtraSelection>& lineAndMarkSelections();
    void appendMarkSelections(const ErrorMark& mark);
    void followMarks(const QRect& rect, int dy);
    void installMarks();

    LineNumberArea* lineNumberArea;
    Highlighter highlighter;
    const QByteArray openingBrackets;
    const QByteArray closingBrackets;
    QVector<ErrorMark> errorMarks;

public:
    // The document's path, or its provisional name while untitled; kept for the tab code.
    QString fileName;

private:
    QAction* copyAsHtmlAction;

    // The current line's selection followed by those of the error marks, kept between cursor
    // moves.
    QList<QTextEdit::ExtraSelection> selectionCache;
    QPointer<QTextDocument> markDocument;
    int markSelectionsWidth = -1;
    bool markSelectionsValid = false;
    MarkWindow markWindow;
    bool markInstallScheduled = false;
    int marksThisPass = 0; // marks added since the event loop last ran
};

#endif
