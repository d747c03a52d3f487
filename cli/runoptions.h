#ifndef RUNOPTIONS_H
#define RUNOPTIONS_H

#include <QString>
#include <QStringList>

// The command line of quorstudio-run.
struct RunOptions {
    QStringList files;
    bool step = false;
    bool time = false;
    bool json = false;
    QString tablesDir;
    QString graphsDir;
    QString memoryFile;
    QString reportFile;
    int timeoutSeconds = 0; // 0: wait as long as the engine takes
    bool separateProcess = false;

    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    QString error; // for UsageError
};

RunOptions parseRunOptions(const QStringList& arguments);

// The text of --help.
QString runUsage();

#endif
