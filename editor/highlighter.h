#ifndef HIGHLIGHTER_H
#define HIGHLIGHTER_H

#include <QHash>
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QVector>

#include <array>

class QString;
class QTextDocument;

// Colours text in the engine's notation and records each block's bracket positions in a
// TextBlockData for the editor's bracket matching.
class Highlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    explicit Highlighter(QTextDocument* parent = nullptr);

    // The whole document as HTML, carrying the highlighting formats.
    QString asHtml() const;

protected:
    void highlightBlock(const QString& text) override;

private:
    struct HighlightingRule {
        QRegularExpression pattern;
        QTextCharFormat format;
    };

    // starts: every character that a match of the pattern can begin with.
    void addRule(const QString& pattern, const QString& starts, const QColor& colour, int weight,
                 int italic);
    uint startMask(QChar c) const;
    int nextStart(const QString& text, int from, uint rule) const;

    QVector<HighlightingRule> highlightingRules;
    QRegularExpression commentStartExpression;
    QRegularExpression commentEndExpression;
    QTextCharFormat multiLineCommentFormat;

    // For each character, one bit per rule (in list order) that can match from there; lets a
    // block skip the rules that cannot match in it and the stretches where none can start.
    std::array<uint, 128> asciiStartMasks{};
    QHash<ushort, uint> otherStartMasks;
};

#endif
