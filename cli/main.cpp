// quorstudio-run: the engine from the command line, for scripts and CI.

#include "batchrun.h"
#include "inputfile.h"
#include "outputcheck.h"
#include "quorversion.h"
#include "runoptions.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorstudio-run"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUOR_VERSION));

    const RunOptions options = parseRunOptions(QCoreApplication::arguments());
    switch (options.action) {
    case RunOptions::Action::Help:
        std::fputs(runUsage().toUtf8().constData(), stdout);
        return 0;
    case RunOptions::Action::Version:
        std::printf("quorstudio-run %s\n", QUOR_VERSION);
        return 0;
    case RunOptions::Action::UsageError:
        std::fprintf(stderr, "quorstudio-run: %s\nTry 'quorstudio-run --help'.\n",
                     options.error.toUtf8().constData());
        return BatchRun::Failed;
    case RunOptions::Action::Run:
        break;
    }

    // Every input file is read and checked, and every output checked, before anything is sent,
    // so a bad file or an output that cannot be written leaves the engine untouched.
    QVector<InputFile> files(options.files.size());
    for (int i = 0; i < files.size(); ++i) {
        QString error;
        if (!files[i].read(options.files.at(i), &error)) {
            std::fprintf(stderr, "%s\n", error.toUtf8().constData());
            return BatchRun::Failed;
        }
    }
    QString error;
    if (!checkRunOutputs(options, &error)) {
        std::fprintf(stderr, "quorstudio-run: %s\n", error.toUtf8().constData());
        return BatchRun::Failed;
    }
    BatchRun run(options);
    return run.run(files);
}
