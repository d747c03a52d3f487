#ifndef OUTPUTCHECK_H
#define OUTPUTCHECK_H

#include "runoptions.h"

#include <QString>

// Checked before anything is sent: every file the run will write (--tables, --graphs, --memory,
// --report) can be written, none of them is one of the run's input files, which writing it
// would replace, and no two of them are the same file. The folders of --tables and --graphs are
// created here. On failure returns false with `error` set to a message naming the file.
bool checkRunOutputs(const RunOptions& options, QString* error);

#endif
