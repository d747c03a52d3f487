#ifndef CRASHSCENARIO_H
#define CRASHSCENARIO_H

#include <QString>

// The crash helper's file and what it types before the Run: notation symbols, a character
// outside the Basic Multilingual Plane, a no-break space and a line separator. The cursor is
// left CursorFromEnd characters before the end.
namespace crash {
inline QString fileText()
{
    return QStringLiteral("<robin \u2192 bird>.\n");
}
inline QString typed()
{
    return QString::fromUtf8("<{tweety} \xe2\x86\x92 [yellow]>. // \xe2\x88\xa7 \xce\xa9\xce\xbc "
                             "\xf0\x9f\x98\x80\n\xc2\xa0\xe2\x80\xa8<tweety \xe2\x86\x92 bird>?");
}
const int CursorFromEnd = 7;
} // namespace crash

#endif
