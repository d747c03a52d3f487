#ifndef OUTPUTCHECK_H
#define OUTPUTCHECK_H

#include "runoptions.h"

#include <QString>

// Checked before anything is sent: every file the run will write (--tables, --graphs, --memory,
// --report) can be written, and none of them is one of the run's input files, which writing it
// would replace. The folders of --tables and --graphs are created here. On failure returns false
// with `error` set to a message naming the file.
bool checkRunOutputs(const RunOptions& options, QString* error);

#endif
