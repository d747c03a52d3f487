#ifndef HIGHLIGHTER_H
#define HIGHLIGHTER_H

#include "notationscanner.h"

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QVector>

#include <array>

class HighlightPass;
class QPlainTextEdit;
class QString;
class QTextBlock;
class QTextDocument;
class TextBlockData;

// Colours text in the engine's notation, as the notation's scanner classifies it, and records
// each block's bracket positions in a TextBlockData for the editor's bracket matching.
class Highlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    explicit Highlighter(QTextDocument* parent = nullptr);
    // Ends the lazy pass first: the base class's destructor still changes the document, and
    // the pass must not answer that by calling into a half-destroyed highlighter.
    ~Highlighter() override;

    // The whole document as HTML, carrying the highlighting formats.
    QString asHtml();

    // From now on, large changes of the current document are coloured lazily, the part that
    // `view` shows first (HighlightPass).
    void deferLargeChanges(QPlainTextEdit* view);
    // Colours whatever is still waiting; the whole document is highlighted afterwards.
    void finishPending();
    bool isPending() const;

    // Gives a block the state and bracket data that highlighting it would give, without its
    // colours, from its text; true when the block's state changed.
    bool prepareBlock(QTextBlock block, const QChar* text, int length) const;
    // Highlights a block, taking the previous block's state as it stands, without telling the
    // document; true when its colours changed.
    bool colourBlock(QTextBlock block);

protected:
    void highlightBlock(const QString& text) override;

private:
    // What highlightBlock produces when colourBlock runs it.
    struct Detached {
        QVector<QTextCharFormat> formats;
        int previousState = -1;
        int state = -1;
        TextBlockData* data = nullptr;
    };

    static TextBlockData* bracketData(const QString& text);
    void put(int start, int count, const QTextCharFormat& format);
    void putState(int state);
    void setTokenFormat(NotationToken token, const QColor& colour, int weight, int italic);

    // The format of each class of the notation's scanner (NotationScanner), by its value;
    // block comments use multiLineCommentFormat.
    std::array<QTextCharFormat, size_t(NotationToken::BlockComment) + 1> tokenFormats;
    QTextCharFormat multiLineCommentFormat;

    HighlightPass* pass = nullptr;
    Detached* detached = nullptr;
};

#endif
