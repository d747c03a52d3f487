#ifndef HOSTCHECKS_H
#define HOSTCHECKS_H

// What the engine-host tests look at in /proc: whether a process still runs, the children of
// this process, its open descriptors; and the environment that puts the scriptable test engine
// into every host started from now on.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>

#include <unistd.h>

namespace hostchecks {

// The fields of /proc/<pid>/stat after the command name (which may hold blanks and brackets):
// the state letter, the parent... Empty when there is no such process.
inline QList<QByteArray> statFields(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2).split(' ');
}

// Gone, or a zombie that is no longer ours to reap (its parent is gone).
inline bool ended(qint64 pid)
{
    const QByteArray state = statFields(pid).value(0);
    return state.isEmpty() || state == "Z" || state == "X";
}

// The processes whose parent is `parent`, zombies included.
inline QList<qint64> childrenOf(qint64 parent)
{
    QList<qint64> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        const QList<QByteArray> fields = statFields(entry.toLongLong());
        if (fields.size() > 1 && fields.at(1).toLongLong() == parent)
            children.append(entry.toLongLong());
    }
    return children;
}

inline int openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd"))
        .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
        .size();
}

// Hosts started after this load the scriptable test engine in script mode. Crashes stay plain
// signals in sanitizer builds too.
inline void useScriptEngine()
{
    qputenv("LD_LIBRARY_PATH", TEST_ENGINE_DIR);
    qputenv("QUOR_TEST_ENGINE", "script");
    qputenv("ASAN_OPTIONS", "handle_segv=0:handle_abort=0:detect_leaks=0");
    qputenv("TSAN_OPTIONS", "handle_segv=0:handle_abort=0");
}

} // namespace hostchecks

#endif
