#include "svgbuilder.h"

#include <QLatin1String>

const BoxColours& boxColoursForFlags(quint8 flags)
{
    if (flags & 8)
        return singleLineBoxColours[0];
    if (flags & 4)
        return singleLineBoxColours[1];
    return singleLineBoxColours[2];
}

int boxWidth(int length)
{
    if (length <= 50)
        return length * 8;
    return static_cast<int>(length * 6.5);
}

QString multiLineBox(const QStringList& lines, int x, int y, int& width, int& height)
{
    int longest = 0;
    for (const QString& line : lines)
        longest = qMax(longest, line.size());
    width = boxWidth(longest);
    height = boxLineHeight * lines.size();

    QString box =
        QStringLiteral("<g>\n\t<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"  rx=\"6\" "
                       "ry=\"6\" stroke=\"%5\" fill=\"%6\"></rect>\n")
            .arg(x)
            .arg(y)
            .arg(width)
            .arg(height)
            .arg(QLatin1String(multiLineBoxColours.stroke))
            .arg(QLatin1String(multiLineBoxColours.fill));
    const QString lineTemplate =
        QStringLiteral("<text x=\"%1\" y=\"%2\" font-family=\"DejaVu Sans\" font-size=\"11\" "
                       "fill=\"") +
        QLatin1String(svgInkColour) + QStringLiteral("\">%3</text>\n");
    for (int i = 0; i < lines.size(); ++i)
        box += lineTemplate.arg(x + 5).arg(y + 12 + boxLineHeight * i).arg(lines.at(i));
    box += QLatin1String("</g>\n");
    return box;
}

// The templates below are filled in one pass (QString::arg with several strings), which gives
// the same text as filling their placeholders one after another: no argument but the last holds
// a '%'.

QString singleLineBox(const QString& text, int x, int y, int& width, int& height,
                      const char* stroke, const char* fill)
{
    width = boxWidth(text.size());
    height = boxLineHeight;
    return QStringLiteral("<g>\n\t<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"  rx=\"6\" "
                          "ry=\"6\" stroke=\"%5\" fill=\"%6\"></rect>\n\t<text x=\"%7\" y=\"%8\" "
                          "font-family=\"DejaVu Sans\" font-size=\"11\" "
                          "fill=\"%9\">%10</text>\n</g>\n")
        .arg(QString::number(x), QString::number(y), QString::number(width),
             QString::number(height), QLatin1String(stroke), QLatin1String(fill),
             QString::number(x + 5), QString::number(y + 12), QLatin1String(svgInkColour))
        .arg(text);
}

QString edgeLine(int x1, int y1, int x2, int y2)
{
    return QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"%5\" "
                          "stroke-width=\"1\" />\n")
        .arg(QString::number(x1), QString::number(y1), QString::number(x2), QString::number(y2),
             QLatin1String(svgInkColour));
}

QString arrowHead(int x, int y)
{
    const QString left = QString::number(x - 9);
    const QString top = QString::number(y + 5);
    return QStringLiteral("<path d=\"M%1, %2 L%1, %3 L%4, %5 L%1, %2\" fill=\"%6\" />")
        .arg(left, top, QString::number(y + 14), QString::number(x - 1), QString::number(y + 9),
             QLatin1String(svgInkColour));
}

QString svgDocumentStart(int width, int height)
{
    return QStringLiteral("<svg width=\"%1\" height=\"%2\" xmlns=\"http://www.w3.org/2000/svg\" "
                          "version=\"1.1\">\n")
        .arg(width)
        .arg(height);
}

QString svgDocumentEnd()
{
    return QStringLiteral("</svg>");
}
