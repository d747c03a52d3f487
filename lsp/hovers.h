#ifndef HOVERS_H
#define HOVERS_H

#include "documenttext.h"
#include "errorranges.h"

#include <QJsonValue>
#include <QStringList>
#include <QVector>

// The hover at a position, as plain text: the engine's errors whose range holds the position,
// then the truth values that the last Statements table (`statements`, its rows' texts) lists for
// the statement around the position or, outside a listed statement, for the word under it.
// Null when there is nothing to say.
QJsonValue hoverAt(const DocumentText& text, TextPosition position, PositionEncoding encoding,
                   const QVector<ErrorRange>& errors, const QStringList& statements);

#endif
