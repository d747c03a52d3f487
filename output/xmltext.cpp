#include "xmltext.h"

namespace {

bool allowedAlone(char16_t c)
{
    return c >= 0x20 ? c < 0xD800 || (c >= 0xE000 && c < 0xFFFE)
                     : c == u'\t' || c == u'\n' || c == u'\r';
}

// The length of the run of allowed code units at `from`, taking surrogate pairs whole.
int allowedRun(const QChar* text, int size, int from)
{
    int i = from;
    while (i < size) {
        const char16_t c = text[i].unicode();
        if (allowedAlone(c)) {
            ++i;
        } else if (QChar::isHighSurrogate(c) && i + 1 < size &&
                   QChar::isLowSurrogate(text[i + 1].unicode())) {
            i += 2;
        } else {
            break;
        }
    }
    return i - from;
}

} // namespace

QString xmlSafe(const QString& text)
{
    const QChar* data = text.constData();
    const int size = text.size();
    int at = allowedRun(data, size, 0);
    if (at == size)
        return text;
    QString safe;
    safe.reserve(size);
    while (at < size) {
        safe.append(data + safe.size(), at - safe.size());
        safe.append(QChar(QChar::ReplacementCharacter));
        ++at;
        at += allowedRun(data, size, at);
    }
    safe.append(data + safe.size(), size - safe.size());
    return safe;
}

QString xmlEscaped(const QString& text)
{
    return xmlSafe(text).toHtmlEscaped();
}

int xmlEscapedLength(const QString& text)
{
    int length = text.size();
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'<':
        case u'>':
            length += 3;
            break;
        case u'&':
            length += 4;
            break;
        case u'"':
            length += 5;
            break;
        default:
            break;
        }
    }
    return length;
}
