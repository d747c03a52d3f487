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

QString singleLineBox(const QString& text, int x, int y, int& width, int& height,
                      const char* stroke, const char* fill)
{
    width = boxWidth(text.size());
    height = boxLineHeight;
    return QStringLiteral("<g>\n\t<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"  rx=\"6\" "
                          "ry=\"6\" stroke=\"%5\" fill=\"%6\"></rect>\n\t<text x=\"%7\" y=\"%8\" "
                          "font-family=\"DejaVu Sans\" font-size=\"11\" "
                          "fill=\"%9\">%10</text>\n</g>\n")
        .arg(x)
        .arg(y)
        .arg(width)
        .arg(height)
        .arg(QLatin1String(stroke))
        .arg(QLatin1String(fill))
        .arg(x + 5)
        .arg(y + 12)
        .arg(QLatin1String(svgInkColour))
        .arg(text);
}

QString edgeLine(int x1, int y1, int x2, int y2)
{
    return QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"%5\" "
                          "stroke-width=\"1\" />\n")
        .arg(x1)
        .arg(y1)
        .arg(x2)
        .arg(y2)
        .arg(QLatin1String(svgInkColour));
}

QString arrowHead(int x, int y)
{
    return QStringLiteral("<path d=\"M%1, %2 L%3, %4 L%5, %6 L%7, %8\" fill=\"%9\" />")
        .arg(x - 9)
        .arg(y + 5)
        .arg(x - 9)
        .arg(y + 14)
        .arg(x - 1)
        .arg(y + 9)
        .arg(x - 9)
        .arg(y + 5)
        .arg(QLatin1String(svgInkColour));
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
