#ifndef SEMANTICTOKENS_H
#define SEMANTICTOKENS_H

#include "documenttext.h"

#include <QJsonArray>
#include <QJsonObject>

// Semantic tokens of a document, classified by the notation's scanner (the editor's
// highlighting rules). Token types: "keyword" for sentence punctuation, "type" for the arrows,
// "interface" for the double arrows, "operator" for the operator symbols, "number" for truth
// value numbers, "variable" for '#' words, "macro" for engine commands and "comment" for both
// kinds of comment. Brackets are left to the client.
QJsonObject semanticTokensLegend();

// The tokens of the whole text, encoded relative to each other as the protocol asks: for each,
// line delta, start delta, length, type, modifiers. A comment across lines is one token per line.
QJsonArray semanticTokens(const DocumentText& text, PositionEncoding encoding);

#endif
