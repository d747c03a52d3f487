#include "enginecommand.h"

#include <QLatin1String>

QString engineCommandText(EngineCommand command)
{
    // In the order of the enumeration.
    static const char* const words[] = {"version",    "clear",    "words",    "compounds",
                                        "statements", "memory",   "question", "inference",
                                        "debug on",   "debug off"};
    return QStringLiteral("\u22d9 ") + QLatin1String(words[static_cast<int>(command)]);
}
