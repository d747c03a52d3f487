#include "outputcheck.h"

#include "runreport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVector>

#include <sys/stat.h>

namespace {

struct Output {
    QString option; // "--report", ...
    QString path;
    bool writesInPlace = false; // a writable file is written in place when its folder is not
};

QVector<Output> plannedOutputs(const RunOptions& options)
{
    QVector<Output> outputs;
    if (!options.tablesDir.isEmpty()) {
        const QDir dir(options.tablesDir);
        for (int i = 0; i < 3; ++i)
            outputs.append({QStringLiteral("--tables"),
                            dir.filePath(termTableFileName(static_cast<TermTableKind>(i)))});
    }
    if (!options.graphsDir.isEmpty()) {
        const QDir dir(options.graphsDir);
        for (const char* name : {"question.svg", "inference.svg"})
            outputs.append({QStringLiteral("--graphs"), dir.filePath(QLatin1String(name))});
    }
    if (!options.memoryFile.isEmpty())
        outputs.append({QStringLiteral("--memory"), options.memoryFile, true});
    if (!options.reportFile.isEmpty())
        outputs.append({QStringLiteral("--report"), options.reportFile});
    return outputs;
}

// The same file, whatever the path says (links, "..", another spelling).
bool sameFile(const QString& a, const QString& b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

QString checkOutput(const Output& output, const QStringList& inputs)
{
    const QString& path = output.path;
    const QFileInfo file(path);
    for (const QString& input : inputs) {
        if (sameFile(path, input))
            return QStringLiteral("%1 %2 is the input file %3; it would be replaced")
                .arg(output.option, path, input);
    }
    if (file.isDir())
        return QStringLiteral("cannot write %1: it is a folder").arg(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("cannot write %1: the folder %2 does not exist")
            .arg(path, QDir::toNativeSeparators(folder.filePath()));
    const bool inPlace = output.writesInPlace && file.exists() && file.isWritable();
    if (!folder.isWritable() && !inPlace)
        return QStringLiteral("cannot write %1: the folder %2 is not writable")
            .arg(path, QDir::toNativeSeparators(folder.filePath()));
    if (file.exists() && !file.isWritable())
        return QStringLiteral("cannot write %1: the file is not writable").arg(path);
    return QString();
}

// Two outputs that name one file: the later one would replace what the earlier one wrote.
QString checkDistinct(const QVector<Output>& outputs)
{
    for (int later = 1; later < outputs.size(); ++later) {
        const Output& second = outputs.at(later);
        const QString secondPath = QFileInfo(second.path).absoluteFilePath();
        for (int earlier = 0; earlier < later; ++earlier) {
            const Output& first = outputs.at(earlier);
            if (QFileInfo(first.path).absoluteFilePath() == secondPath ||
                sameFile(first.path, second.path))
                return QStringLiteral("%1 %2 and %3 %4 are the same file; one would replace the "
                                      "other")
                    .arg(first.option, first.path, second.option, second.path);
        }
    }
    return QString();
}

} // namespace

bool checkRunOutputs(const RunOptions& options, QString* error)
{
    for (const QString& dir : {options.tablesDir, options.graphsDir}) {
        if (!dir.isEmpty() && !QFileInfo(dir).isDir() && !QDir().mkpath(dir)) {
            *error = QStringLiteral("cannot create the folder %1").arg(dir);
            return false;
        }
    }
    const QVector<Output> outputs = plannedOutputs(options);
    for (const Output& output : outputs) {
        *error = checkOutput(output, options.files);
        if (!error->isEmpty())
            return false;
    }
    *error = checkDistinct(outputs);
    return error->isEmpty();
}
