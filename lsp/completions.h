#ifndef COMPLETIONS_H
#define COMPLETIONS_H

#include "documenttext.h"

#include <QJsonObject>
#include <QStringList>
#include <QVector>

// The completion list at a position. After a backslash sequence (\, \an, \->): the
// abbreviations it begins, each replacing the typed sequence with its symbol (the one typed
// exactly comes preselected). At the end of a word of two or more characters: the terms of the
// lists that begin with it (the engine's words and compound terms, the document's words, the
// line's own words), each replacing the word. Otherwise an empty list.
QJsonObject completionsAt(const DocumentText& text, TextPosition position,
                          PositionEncoding encoding, const QVector<const QStringList*>& lists);

// Most terms offered at once; a longer list is marked incomplete, so the client asks again as
// the word grows.
constexpr int MaxCompletions = 100;

#endif
