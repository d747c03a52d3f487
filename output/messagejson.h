#ifndef MESSAGEJSON_H
#define MESSAGEJSON_H

#include "dispatch.h"

#include <QByteArray>
#include <QJsonObject>

// One engine message as a JSON object, for tools: "kind" names the message kind and the other
// members are its decoded fields.
//
//   plain, unassigned ("code": the kind letter), internalQuestion: "text"
//   error: "line", "column", "mark", "severity", "text"
//   time: "microseconds", "cycles"            version: "version"
//   memory: "dump"                            words, compounds, statements: "records" [{id, name}]
//   question: "links" [[parent, child]], "nodes" [{id, label, level, threadId, flags, gen,
//             process}]
//   inference: "inferences" [{operation, items}], "texts" {id: text},
//              "operations" {code: {name, description}}
//
// Term and node ids are 64-bit: they are written as lower-case hexadecimal strings, as the term
// tables show them, since JSON numbers do not hold them exactly.
QJsonObject messageJson(const DecodedMessage& message);

// The object as one compact line, without a line end.
QByteArray messageJsonLine(const DecodedMessage& message);

#endif
