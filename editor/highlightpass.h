#ifndef HIGHLIGHTPASS_H
#define HIGHLIGHTPASS_H

#include <QObject>
#include <QTextCursor>
#include <QTimer>

class Highlighter;
class QPlainTextEdit;
class QTextBlock;
class QTextDocument;

// Colours large changes of a document (opening a file, pasting thousands of lines) lazily, so
// that the editor answers at once. Small changes are highlighted at once, as before. For a large
// change, every block first gets its block state and bracket data straight away (a cheap scan,
// so bracket matching and the comment states are right everywhere); the colours follow, the
// blocks shown first (before each paint of the view) and the rest in slices of a few
// milliseconds whenever the event loop is idle. finish() colours what is left at once, for
// whatever reads the whole document's colours.
class HighlightPass : public QObject {
    Q_OBJECT

public:
    // Takes over the highlighter's handling of changes of its document, which `view` shows.
    HighlightPass(Highlighter* highlighter, QPlainTextEdit* view);

    bool isPending() const { return !pendingStart.isNull(); }
    void finish();

    // Changes of at least this many characters are coloured lazily.
    static constexpr int LargeChange = 32 * 1024;
    // Longest time one idle slice may take.
    static constexpr qint64 SliceBudgetNs = 6 * 1000 * 1000;

signals:
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool active() const;
    void contentsChange(int from, int removed, int added);
    void reformat(int from, int removed, int added);
    // Colours the blocks from `block` up to the one holding position `to`, within the budget
    // (none when negative); returns the first block not coloured.
    QTextBlock colour(QTextBlock block, int to, qint64 budgetNs);
    void colourVisible();
    void runSlice();
    void done();

    Highlighter* highlighter;
    QTextDocument* document;
    QPlainTextEdit* view;
    bool tookOver = false;
    bool busy = false;
    // The range still to colour; null cursors when nothing is pending.
    QTextCursor pendingStart;
    QTextCursor pendingEnd;
    QTimer slices;
};

#endif
