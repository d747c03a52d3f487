#ifndef CRASHSCENARIO_H
#define CRASHSCENARIO_H

#include <QString>

// What the crash helper types before its engine kills it during a Run: symbols of the notation,
// text outside the Basic Multilingual Plane, a no-break space and a line separator, which a
// plain-text conversion would change.
namespace crash {

inline QString fileText()
{
    return QStringLiteral("<robin \u2192 bird>.\n");
}

inline QString typed()
{
    return QString::fromUtf8("<{tweety} \xe2\x86\x92 [yellow]>. // \xe2\x88\xa7 \xe2\x87\x92 "
                             "\xce\xa9\xce\xbc\xce\xad\xce\xb3\xce\xb1 \xf0\x9f\x98\x80\n"
                             "\xc2\xa0\xe2\x80\xa8<tweety \xe2\x86\x92 bird>?");
}

// The cursor is left this many characters before the end of the text.
const int CursorFromEnd = 7;

} // namespace crash

#endif
