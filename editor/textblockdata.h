#ifndef TEXTBLOCKDATA_H
#define TEXTBLOCKDATA_H

#include <QTextBlockUserData>
#include <QVarLengthArray>

// One bracket character of a text block: the character and its 0-based position in the block.
struct ParenthesisInfo {
    char character;
    int position;
};

// Per-block data left by the highlighter: the block's bracket characters in position order,
// read by the editor's bracket matching so that the text need not be scanned again.
class TextBlockData : public QTextBlockUserData {
public:
    // A line rarely holds more than a few brackets; keeping them inside the object spares
    // bracket matching a memory access per line when it walks a long document.
    using Entries = QVarLengthArray<ParenthesisInfo, 8>;

    const Entries& parentheses() const { return entries; }

    // Inserts before the first entry whose position is not smaller, so the list stays sorted
    // whatever the order of insertion.
    void insert(const ParenthesisInfo& info);

private:
    Entries entries;
};

#endif
