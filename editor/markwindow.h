#ifndef MARKWINDOW_H
#define MARKWINDOW_H

class QPlainTextEdit;

// The lines of an editor whose error marks are installed as extra selections: those shown and
// as many again above and below (at least MinimumMargin lines each side). Marks far from the
// view are not installed, so that a cursor move or a repaint does not depend on them; the
// window moves when the view leaves it.
class MarkWindow {
public:
    // Text block numbers, first and last included.
    struct Range {
        int first;
        int last;
    };

    // The blocks in view; every block takes at least one line, so this may run a little long.
    static Range shownBlocks(const QPlainTextEdit* editor);

    bool covers(Range shown) const { return shown.first >= first && shown.last <= last; }
    void placeAround(Range shown);
    // Whether a mark on the 1-based line lies in the window; a line beyond the last block is
    // drawn on the last block.
    bool holds(int line, int lastBlock) const;

    static constexpr int MinimumMargin = 100;
    // Up to this many selections are installed at once with each new mark, and up to this many
    // marks added without the event loop running in between.
    static constexpr int InstantSelections = 256;
    static constexpr int InstantMarks = 32;

private:
    int first = 0;
    int last = -1;
};

#endif
