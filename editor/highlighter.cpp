#include "highlighter.h"

#include "highlightpass.h"
#include "textblockdata.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>

#include <memory>

namespace {

// Block states: whether a block comment is still open at the end of the block.
enum BlockState { NoComment = 0, InComment = 1 };

// Italic flag of a format: left unset, or set to false or true.
enum Italic { ItalicUnset, ItalicOff, ItalicOn };

} // namespace

Highlighter::Highlighter(QTextDocument* parent) : QSyntaxHighlighter(parent)
{
    setTokenFormat(NotationToken::Punctuation, QColor(0xD3, 0x36, 0x82), QFont::Bold, ItalicUnset);
    setTokenFormat(NotationToken::Bracket, QColor(0x2A, 0xA1, 0x98), QFont::Normal, ItalicUnset);
    setTokenFormat(NotationToken::Arrow, QColor(0xB5, 0x89, 0x00), QFont::Normal, ItalicUnset);
    setTokenFormat(NotationToken::DoubleArrow, QColor(0x58, 0x6E, 0x75), QFont::Normal,
                   ItalicUnset);
    setTokenFormat(NotationToken::Operator, QColor(0xB0, 0x29, 0x2B), QFont::Normal, ItalicUnset);
    setTokenFormat(NotationToken::Number, QColor(0xBF, 0xA9, 0x54), QFont::Normal, ItalicOff);
    setTokenFormat(NotationToken::Variable, QColor(0x55, 0xAA, 0x55), QFont::Normal, ItalicOn);
    setTokenFormat(NotationToken::Command, QColor(0x58, 0x73, 0xAA), QFont::Normal, ItalicOn);
    setTokenFormat(NotationToken::LineComment, QColor(0x93, 0xA1, 0xA1), QFont::Light, ItalicOn);

    multiLineCommentFormat.setForeground(QColor(0x58, 0x6E, 0x75));
    multiLineCommentFormat.setFontWeight(QFont::Light);
    multiLineCommentFormat.setFontItalic(true);
    tokenFormats[size_t(NotationToken::BlockComment)] = multiLineCommentFormat;
}

Highlighter::~Highlighter()
{
    delete pass;
}

void Highlighter::setTokenFormat(NotationToken token, const QColor& colour, int weight, int italic)
{
    QTextCharFormat& format = tokenFormats[size_t(token)];
    format.setForeground(colour);
    format.setFontWeight(weight);
    if (italic != ItalicUnset)
        format.setFontItalic(italic == ItalicOn);
}

void Highlighter::highlightBlock(const QString& text)
{
    const int previous = detached ? detached->previousState : previousBlockState();
    QVector<NotationSpan> spans;
    const bool open = NotationScanner::instance().scan(text, previous == InComment, &spans);
    for (const NotationSpan& span : spans)
        put(span.start, span.length, tokenFormats[size_t(span.token)]);
    putState(open ? InComment : NoComment);

    if (detached)
        detached->data = bracketData(text);
    else
        setCurrentBlockUserData(bracketData(text));
}

namespace {

bool isBracket(ushort c)
{
    return c == '(' || c == ')' || c == '{' || c == '}' || c == '[' || c == ']' || c == '<' ||
           c == '>';
}

} // namespace

// Brackets count wherever they stand, inside comments too.
TextBlockData* Highlighter::bracketData(const QString& text)
{
    auto* data = new TextBlockData;
    const QChar* chars = text.constData();
    for (int i = 0, n = text.length(); i < n; ++i) {
        if (isBracket(chars[i].unicode()))
            data->insert({static_cast<char>(chars[i].unicode()), i});
    }
    return data;
}

bool Highlighter::prepareBlock(QTextBlock block, const QChar* text, int length) const
{
    // The block-comment pass and the bracket pass of highlightBlock, without the colours.
    const QTextBlock previous = block.previous();
    const bool inComment = NotationScanner::commentOpenAfter(
        text, length, previous.isValid() && previous.userState() == InComment);
    auto* data = new TextBlockData;
    for (int i = 0; i < length; ++i) {
        // Brackets count wherever they stand, inside comments too.
        const ushort c = text[i].unicode();
        if (isBracket(c))
            data->insert({static_cast<char>(c), i});
    }
    const int state = inComment ? InComment : NoComment;
    const bool changed = block.userState() != state;
    block.setUserState(state);
    block.setUserData(data);
    return changed;
}

void Highlighter::put(int start, int count, const QTextCharFormat& format)
{
    if (!detached) {
        setFormat(start, count, format);
        return;
    }
    QVector<QTextCharFormat>& formats = detached->formats;
    for (int i = qMax(0, start), end = qMin(formats.size(), start + count); i < end; ++i)
        formats[i] = format;
}

void Highlighter::putState(int state)
{
    if (detached)
        detached->state = state;
    else
        setCurrentBlockState(state);
}

bool Highlighter::colourBlock(QTextBlock block)
{
    // highlightBlock with its results caught here rather than by the base class, which would
    // have the view lay out every block it colours.
    Detached result;
    result.formats.resize(block.length());
    const QTextBlock previous = block.previous();
    result.previousState = previous.isValid() ? previous.userState() : -1;
    detached = &result;
    highlightBlock(block.text());
    detached = nullptr;
    block.setUserState(result.state);
    block.setUserData(result.data);

    // The format ranges as the base class makes them: runs of equal formats, the default
    // format left out.
    QVector<QTextLayout::FormatRange> ranges;
    const QVector<QTextCharFormat>& formats = result.formats;
    for (int i = 0; i < formats.size();) {
        if (formats.at(i) == QTextCharFormat()) {
            ++i;
            continue;
        }
        QTextLayout::FormatRange range;
        range.start = i;
        range.format = formats.at(i);
        while (i < formats.size() && formats.at(i) == range.format)
            ++i;
        range.length = i - range.start;
        ranges.append(range);
    }
    QTextLayout* layout = block.layout();
    if (layout->formats() == ranges)
        return false;
    layout->setFormats(ranges);
    return true;
}

void Highlighter::deferLargeChanges(QPlainTextEdit* view)
{
    if (!pass && document())
        pass = new HighlightPass(this, view);
}

void Highlighter::finishPending()
{
    if (pass)
        pass->finish();
}

bool Highlighter::isPending() const
{
    return pass && pass->isPending();
}

QString Highlighter::asHtml()
{
    QTextDocument* source = document();
    if (!source)
        return QString();
    finishPending();

    QTextCursor all(source);
    all.select(QTextCursor::Document);

    // The copy holds the text and the document's own formats; the highlighting lives only in
    // the block layouts and is laid over it range by range.
    auto copy = std::make_unique<QTextDocument>();
    QTextCursor cursor(copy.get());
    cursor.insertFragment(all.selection());
    const int end = copy->characterCount() - 1;

    for (QTextBlock block = source->begin(); block.isValid(); block = block.next()) {
        const QVector<QTextLayout::FormatRange> ranges = block.layout()->formats();
        for (const QTextLayout::FormatRange& range : ranges) {
            const int start = block.position() + range.start;
            const int stop = start + range.length;
            if (stop > 0 && start < end) {
                cursor.setPosition(qMax(start, 0));
                cursor.setPosition(qMin(stop, end), QTextCursor::KeepAnchor);
                cursor.setCharFormat(range.format);
            }
        }
    }

    cursor.select(QTextCursor::Document);
    return cursor.selection().toHtml("UTF-8");
}
