#ifndef XMLTEXT_H
#define XMLTEXT_H

#include <QString>

// Texts from the engine made fit for the XML and HTML the program writes.

// The text with every character XML 1.0 cannot hold replaced by U+FFFD: the C0 controls but
// tab, line feed and carriage return, U+FFFE, U+FFFF and surrogates that are not part of a pair.
// Returns the text itself (shared, not copied) when it holds none.
QString xmlSafe(const QString& text);

// xmlSafe(text) with "<", ">", "&" and the double quote written as entity references, as
// QString::toHtmlEscaped writes them.
QString xmlEscaped(const QString& text);

// The length in UTF-16 code units of xmlEscaped(text), without building it.
int xmlEscapedLength(const QString& text);

#endif
