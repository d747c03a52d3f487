#ifndef FORMATCHECK_H
#define FORMATCHECK_H

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextLayout>

// The highlighting format of one character of a block, as the block's layout holds it; an
// empty format where nothing was applied.
inline QTextCharFormat formatAt(const QTextBlock& block, int position)
{
    QTextCharFormat found;
    const auto ranges = block.layout()->formats();
    for (const QTextLayout::FormatRange& range : ranges) {
        if (position >= range.start && position < range.start + range.length)
            found = range.format;
    }
    return found;
}

// "#rrggbb light italic" style description of a format's colour, weight and italic flag, so
// that a failed comparison shows everything at once. Unset properties read "-".
inline QString describe(const QTextCharFormat& format)
{
    const QString colour = format.hasProperty(QTextFormat::ForegroundBrush)
                               ? format.foreground().color().name()
                               : QStringLiteral("-");
    QString weight = QStringLiteral("-");
    if (format.hasProperty(QTextFormat::FontWeight)) {
        switch (format.fontWeight()) {
        case QFont::Light:
            weight = QStringLiteral("light");
            break;
        case QFont::Normal:
            weight = QStringLiteral("normal");
            break;
        case QFont::Bold:
            weight = QStringLiteral("bold");
            break;
        default:
            weight = QString::number(format.fontWeight());
        }
    }
    QString italic = QStringLiteral("-");
    if (format.hasProperty(QTextFormat::FontItalic))
        italic = format.fontItalic() ? QStringLiteral("italic") : QStringLiteral("upright");
    return colour + QLatin1Char(' ') + weight + QLatin1Char(' ') + italic;
}

#endif
