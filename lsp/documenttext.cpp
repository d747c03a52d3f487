#include "documenttext.h"

#include <algorithm>

namespace {

// UTF-8 bytes of the code unit at i of text, with its partner if it starts a surrogate pair
// (`step` receives 2 then); a lone surrogate counts as U+FFFD would.
int utf8Bytes(const QChar* text, int i, int length, int* step)
{
    const ushort c = text[i].unicode();
    *step = 1;
    if (c < 0x80)
        return 1;
    if (c < 0x800)
        return 2;
    if (QChar::isHighSurrogate(c) && i + 1 < length &&
        QChar::isLowSurrogate(text[i + 1].unicode())) {
        *step = 2;
        return 4;
    }
    return 3;
}

} // namespace

void DocumentText::setText(const QString& text)
{
    content = text;
    starts.clear();
    starts.append(0);
    const QChar* chars = content.constData();
    for (int i = 0, n = content.size(); i < n; ++i) {
        const ushort c = chars[i].unicode();
        if (c == '\r' && i + 1 < n && chars[i + 1].unicode() == '\n')
            ++i;
        if (c == '\r' || c == '\n')
            starts.append(i + 1);
    }
}

void DocumentText::replace(int from, int to, const QString& with)
{
    from = qBound(0, from, content.size());
    to = qBound(0, to, content.size());
    if (to < from)
        std::swap(from, to);
    QString text = std::move(content);
    text.replace(from, to - from, with);
    setText(text);
}

int DocumentText::lineLength(int line) const
{
    const int start = starts.at(line);
    int end = line + 1 < starts.size() ? starts.at(line + 1) : content.size();
    if (end > start && content.at(end - 1) == QLatin1Char('\n'))
        --end;
    if (end > start && content.at(end - 1) == QLatin1Char('\r'))
        --end;
    return end - start;
}

int DocumentText::lineOf(int offset) const
{
    return int(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
}

int DocumentText::columnOf(QStringRef line, int units, PositionEncoding encoding)
{
    const QChar* chars = line.constData();
    const int length = line.size();
    int column = 0;
    while (column < length) {
        int step = 1;
        int width = utf8Bytes(chars, column, length, &step);
        if (encoding == PositionEncoding::Utf16)
            width = step;
        if (width > units)
            break;
        units -= width;
        column += step;
    }
    return column;
}

int DocumentText::unitsOf(QStringRef line, int column, PositionEncoding encoding)
{
    column = qBound(0, column, line.size());
    if (encoding == PositionEncoding::Utf16)
        return column;
    const QChar* chars = line.constData();
    int units = 0;
    for (int i = 0; i < column;) {
        int step = 1;
        units += utf8Bytes(chars, i, line.size(), &step);
        i += step;
    }
    return units;
}

int DocumentText::offsetAt(TextPosition position, PositionEncoding encoding) const
{
    if (position.line >= lineCount())
        return content.size();
    const int line = qMax(0, position.line);
    return lineStart(line) + columnOf(this->line(line), qMax(0, position.character), encoding);
}

TextPosition DocumentText::positionAt(int offset, PositionEncoding encoding) const
{
    offset = qBound(0, offset, content.size());
    const int line = lineOf(offset);
    const int column = qMin(offset - lineStart(line), lineLength(line));
    return {line, unitsOf(this->line(line), column, encoding)};
}

QJsonObject DocumentText::protocolRange(int line, int start, int end,
                                        PositionEncoding encoding) const
{
    const QStringRef text = this->line(line);
    const auto at = [&](int column) {
        return QJsonObject{{QStringLiteral("line"), line},
                           {QStringLiteral("character"), unitsOf(text, column, encoding)}};
    };
    return {{QStringLiteral("start"), at(start)}, {QStringLiteral("end"), at(end)}};
}

QString DocumentText::engineText() const
{
    QString text = content;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar(0), QChar(0xFFFD));
    return text;
}
