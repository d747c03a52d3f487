#include "semantictokens.h"

#include "notationscanner.h"

#include <QVector>

namespace {

enum TokenType { Keyword, Type, Interface, Operator, Number, Variable, Macro, Comment, NoType };

TokenType typeOf(NotationToken token)
{
    switch (token) {
    case NotationToken::Punctuation:
        return Keyword;
    case NotationToken::Arrow:
        return Type;
    case NotationToken::DoubleArrow:
        return Interface;
    case NotationToken::Operator:
        return Operator;
    case NotationToken::Number:
        return Number;
    case NotationToken::Variable:
        return Variable;
    case NotationToken::Command:
        return Macro;
    case NotationToken::LineComment:
    case NotationToken::BlockComment:
        return Comment;
    case NotationToken::None:
    case NotationToken::Bracket:
        break;
    }
    return NoType;
}

} // namespace

QJsonObject semanticTokensLegend()
{
    return {{QStringLiteral("tokenTypes"),
             QJsonArray{QStringLiteral("keyword"), QStringLiteral("type"),
                        QStringLiteral("interface"), QStringLiteral("operator"),
                        QStringLiteral("number"), QStringLiteral("variable"),
                        QStringLiteral("macro"), QStringLiteral("comment")}},
            {QStringLiteral("tokenModifiers"), QJsonArray()}};
}

QJsonArray semanticTokens(const DocumentText& text, PositionEncoding encoding)
{
    const NotationScanner& scanner = NotationScanner::instance();
    QJsonArray data;
    QVector<NotationSpan> spans;
    bool commentOpen = false;
    int previousLine = 0;
    int previousStart = 0;
    for (int i = 0; i < text.lineCount(); ++i) {
        const QStringRef line = text.line(i);
        spans.clear();
        commentOpen = scanner.scan(line.toString(), commentOpen, &spans);
        // Units are counted along the line once, from span to span.
        int column = 0;
        int units = 0;
        for (const NotationSpan& span : spans) {
            const TokenType type = typeOf(span.token);
            if (type == NoType)
                continue;
            units += DocumentText::unitsOf(line.mid(column), span.start - column, encoding);
            column = span.start;
            const int length = DocumentText::unitsOf(line.mid(column), span.length, encoding);
            data.append(i - previousLine);
            data.append(i == previousLine ? units - previousStart : units);
            data.append(length);
            data.append(int(type));
            data.append(0);
            previousLine = i;
            previousStart = units;
        }
    }
    return data;
}
