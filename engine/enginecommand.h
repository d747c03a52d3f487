#ifndef ENGINECOMMAND_H
#define ENGINECOMMAND_H

#include <QString>

// The engine commands the program sends: "⋙", one blank and a lower-case word, always with
// line 1.
enum class EngineCommand {
    Version,
    Clear,
    Words,
    Compounds,
    Statements,
    Memory,
    Question,
    Inference,
    DebugOn,
    DebugOff,
};

// The input text of a command, such as "⋙ words".
QString engineCommandText(EngineCommand command);

#endif
