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

Highlighter::Highlighter(QTextDocument* parent)
    : QSyntaxHighlighter(parent), commentStartExpression(QStringLiteral("/\\*")),
      commentEndExpression(QStringLiteral("\\*/"))
{
    // Later rules overwrite what earlier ones coloured: a line comment wins over brackets in it.
    // Where one alternative begins another, the longer comes first, so the longest one matches.
    addRule(QStringLiteral("[\\.\\?!]"), QStringLiteral(".?!"), QColor(0xD3, 0x36, 0x82),
            QFont::Bold, ItalicUnset);
    addRule(QStringLiteral("[\\[\\(\\)\\[\\]\\{\\}<>]"), QStringLiteral("()[]{}<>"),
            QColor(0x2A, 0xA1, 0x98), QFont::Normal, ItalicUnset);
    addRule(QString::fromUtf8("(∘→∘|∘→|→∘|→|↔)"), QString::fromUtf8("→↔∘"),
            QColor(0xB5, 0x89, 0x00), QFont::Normal, ItalicUnset);
    addRule(QString::fromUtf8("(⇒|⇔|/⇒|\\\\⇒|\\|⇒|/⇔|\\|⇔)"), QString::fromUtf8("⇒⇔/\\|"),
            QColor(0x58, 0x6E, 0x75), QFont::Normal, ItalicUnset);
    addRule(QString::fromUtf8("(∩|∪|-|⊖|×|⊥|⊤|◊|¬|∧/|∧\\||∧|∨|⇑)"),
            QString::fromUtf8("∩∪-⊖×⊥⊤◊¬∧∨⇑"), QColor(0xB0, 0x29, 0x2B), QFont::Normal,
            ItalicUnset);
    addRule(QStringLiteral("\\b(([01]\\x2e[0-9]+)|([01]))\\b"), QStringLiteral("01"),
            QColor(0xBF, 0xA9, 0x54), QFont::Normal, ItalicOff);
    addRule(QStringLiteral("#\\w+"), QStringLiteral("#"), QColor(0x55, 0xAA, 0x55), QFont::Normal,
            ItalicOn);
    addRule(QString::fromUtf8("⋙[^\\n]*"), QString::fromUtf8("⋙"), QColor(0x58, 0x73, 0xAA),
            QFont::Normal, ItalicOn);
    addRule(QStringLiteral("//[^\\n]*"), QStringLiteral("/"), QColor(0x93, 0xA1, 0xA1),
            QFont::Light, ItalicOn);

    multiLineCommentFormat.setForeground(QColor(0x58, 0x6E, 0x75));
    multiLineCommentFormat.setFontWeight(QFont::Light);
    multiLineCommentFormat.setFontItalic(true);
}

Highlighter::~Highlighter()
{
    delete pass;
}

void Highlighter::addRule(const QString& pattern, const QString& starts, const QColor& colour,
                          int weight, int italic)
{
    HighlightingRule rule;
    rule.pattern = QRegularExpression(pattern, QRegularExpression::UseUnicodePropertiesOption);
    rule.pattern.optimize();
    rule.format.setForeground(colour);
    rule.format.setFontWeight(weight);
    if (italic != ItalicUnset)
        rule.format.setFontItalic(italic == ItalicOn);

    const uint bit = 1u << highlightingRules.size();
    for (QChar c : starts) {
        if (c.unicode() < asciiStartMasks.size())
            asciiStartMasks[c.unicode()] |= bit;
        else
            otherStartMasks[c.unicode()] |= bit;
    }
    highlightingRules.append(rule);
}

uint Highlighter::startMask(QChar c) const
{
    if (c.unicode() < asciiStartMasks.size())
        return asciiStartMasks[c.unicode()];
    return otherStartMasks.value(c.unicode());
}

// The first position at or after from where the rule's pattern can begin to match, or -1.
int Highlighter::nextStart(const QString& text, int from, uint rule) const
{
    const QChar* chars = text.constData();
    for (int i = from, n = text.length(); i < n; ++i) {
        if (startMask(chars[i]) & rule)
            return i;
    }
    return -1;
}

void Highlighter::highlightBlock(const QString& text)
{
    // Which rules can match anywhere in the block.
    uint present = 0;
    for (QChar c : text)
        present |= startMask(c);

    // A rule's search may begin at the first place where a match can begin: the leftmost match
    // is the same as from the start of the range.
    for (int r = 0; r < highlightingRules.size(); ++r) {
        const uint bit = 1u << r;
        if (!(present & bit))
            continue;
        const QRegularExpression& pattern = highlightingRules.at(r).pattern;
        for (int from = nextStart(text, 0, bit); from >= 0;) {
            const QRegularExpressionMatch match = pattern.match(text, from);
            if (!match.hasMatch())
                break;
            const int length = qMax(1, match.capturedLength());
            put(match.capturedStart(), length, highlightingRules.at(r).format);
            from = nextStart(text, match.capturedStart() + length, bit);
        }
    }

    // Block comments, also across blocks. The closing search starts at the opening pair
    // itself, so "/*/" is a complete comment.
    putState(NoComment);
    int start = 0;
    if ((detached ? detached->previousState : previousBlockState()) != InComment)
        start = text.contains(QLatin1Char('/')) ? text.indexOf(commentStartExpression) : -1;
    while (start >= 0) {
        const QRegularExpressionMatch end = commentEndExpression.match(text, start);
        int length;
        if (!end.hasMatch()) {
            putState(InComment);
            length = text.length() - start;
        } else {
            length = end.capturedEnd() - start;
        }
        put(start, length, multiLineCommentFormat);
        start = text.indexOf(commentStartExpression, start + length);
    }

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
    // The block-comment pass and the bracket pass of highlightBlock, in one scan: a comment
    // opened at i may close from i + 1 on ("/*/" is one), and the search for the next opening
    // starts after the closing pair.
    const QTextBlock previous = block.previous();
    bool inComment = previous.isValid() && previous.userState() == InComment;
    auto* data = new TextBlockData;
    for (int i = 0; i < length; ++i) {
        const ushort c = text[i].unicode();
        const ushort next = i + 1 < length ? text[i + 1].unicode() : 0;
        if (inComment && c == '*' && next == '/') {
            inComment = false;
            ++i;
            continue;
        }
        if (!inComment && c == '/' && next == '*') {
            inComment = true;
            continue;
        }
        // Brackets count wherever they stand, inside comments too.
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
