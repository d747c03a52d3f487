// File safety: a save killed half-way leaves the old file or the new one, never a cut one; a save
// or a memory dump that cannot be written (read-only folder, full disk, file size limit, missing
// folder, a folder in the way) is reported, the document stays modified and the old file keeps
// its contents.
//
// Run as root, the test works in a mount namespace of its own, so that it can mount a read-only
// and a tiny (full) file system where permissions would not stop root; the mounts end with the
// process. Run as another user, a folder without write permission stands in for the read-only
// one, and the full-disk case is skipped (the file size limit still covers a write that fails
// half-way).

#include "documents/documentstest.h"

#include <QProcess>
#include <QRandomGenerator>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace documentstest;
using windowtest::setUpEnvironment;

namespace {

bool ownMountNamespace = false;

// The old and the new contents of the document that the child process saves.
QByteArray oldContent()
{
    QByteArray text;
    while (text.size() < 6 * 1000 * 1000)
        text += "<old \xe2\x86\x92 version>. // the file as it was before the save\n";
    return text;
}

const QByteArray Appended = "\n<appended \xe2\x86\x92 text>. // typed before saving\n";

// The child process: opens the file, types at its end, says "ready" and saves again and again
// through the window's Save action until it is killed.
int saveChild(const QString& path)
{
    QTemporaryDir settings;
    setUpEnvironment(settings);
    auto window = windowtest::makeWindow({path});
    CodeEditor* editor = window->currentEditor();
    if (!editor)
        return 2;
    typeText(editor, QString::fromUtf8(Appended));
    QAction* save = action(window.get(), "actionSave");
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        editor->document()->setModified(true);
        save->trigger();
    }
}

// The file systems that a failed write is tried on.
enum class Place { ReadOnlyFolder, FullDisk, FileSizeLimit, MissingFolder, FolderInTheWay };

// Prepares `dir` so that writing `name` in it fails as `place` says; the existing file there (if
// any) holds `existing`. Returns the path to write, or an empty string with `why` set when this
// place cannot be made here.
QString preparePlace(Place place, const QString& dir, const QByteArray& existing, QString* why)
{
    const QString path = dir + QStringLiteral("/doc.quor");
    switch (place) {
    case Place::ReadOnlyFolder:
        if (ownMountNamespace) {
            const QByteArray d = QFile::encodeName(dir);
            if (mount("quor-ro", d.constData(), "tmpfs", 0, "size=1m") != 0)
                break;
            writeBytes(path, existing);
            if (mount(nullptr, d.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                break;
            return path;
        }
        if (geteuid() != 0) {
            writeBytes(path, existing);
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
            return path;
        }
        break;
    case Place::FullDisk:
        if (ownMountNamespace) {
            // 64 KiB: the old file fits, a second copy of the large document does not.
            const QByteArray d = QFile::encodeName(dir);
            if (mount("quor-full", d.constData(), "tmpfs", 0, "size=64k") != 0)
                break;
            writeBytes(path, existing);
            return path;
        }
        *why = QStringLiteral("needs root for a small file system of its own");
        return QString();
    case Place::FileSizeLimit:
        writeBytes(path, existing);
        return path;
    case Place::MissingFolder:
        return dir + QStringLiteral("/no such folder/doc.quor");
    case Place::FolderInTheWay:
        QDir(dir).mkdir(QStringLiteral("doc.quor"));
        return path;
    }
    if (why->isEmpty())
        *why = QStringLiteral("could not prepare: ") + QString::fromLocal8Bit(std::strerror(errno));
    return QString();
}

void releasePlace(Place place, const QString& dir)
{
    if (place == Place::ReadOnlyFolder || place == Place::FullDisk) {
        if (ownMountNamespace)
            umount2(QFile::encodeName(dir).constData(), MNT_DETACH);
        else
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

// Writes of more than 16 KiB fail while it exists (SIGXFSZ ignored: the write returns EFBIG).
class FileSizeLimit {
public:
    explicit FileSizeLimit(bool on) : on(on)
    {
        if (!on)
            return;
        getrlimit(RLIMIT_FSIZE, &saved);
        previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = 16 * 1024;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        if (!on)
            return;
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    }

private:
    bool on;
    rlimit saved{};
    void (*previous)(int) = nullptr;
};

// What a failed write was: a document saved with Save As, or a memory dump from the engine.
enum class Target { Document, MemoryDump };

} // namespace

class TestFileSafety : public QObject {
    Q_OBJECT

public:
    QString program;

private slots:
    void initTestCase()
    {
        setUpEnvironment(settingsDir);
        qInfo("%s", ownMountNamespace ? "own mount namespace: read-only and full file systems"
                                      : "no mount namespace: permissions and limits only");
    }
    void init() { windowtest::clearSettings(); }

    void saveKilledMidWriteLeavesOldOrNew();
    void failedWriteIsReported_data();
    void failedWriteIsReported();

private:
    QTemporaryDir settingsDir;
};

void TestFileSafety::saveKilledMidWriteLeavesOldOrNew()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("document.quor"));
    const QByteArray before = oldContent();
    const QByteArray after = before + Appended;
    QRandomGenerator random(8);
    int oldSeen = 0;
    int newSeen = 0;
    const int kills = 16;
    for (int i = 0; i < kills; ++i) {
        QVERIFY(writeBytes(path, before));
        QProcess child;
        child.start(program, {QStringLiteral("--save-child"), path});
        QVERIFY(child.waitForStarted());
        QVERIFY2(child.waitForReadyRead(120000), qPrintable(child.readAllStandardError()));
        QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
        // Some kills land before the first save is complete, most in the middle of later ones.
        QThread::msleep(random.bounded(i < 4 ? 5 : 400));
        child.kill();
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QByteArray now = readBytes(path);
        QVERIFY2(now == before || now == after,
                 qPrintable(QStringLiteral("kill %1 left a file of %2 bytes (old %3, new %4)")
                                .arg(i)
                                .arg(now.size())
                                .arg(before.size())
                                .arg(after.size())));
        (now == before ? oldSeen : newSeen)++;
    }
    qInfo("%d kills: old file %d times, new file %d times", kills, oldSeen, newSeen);
    QVERIFY(newSeen > 0);
}

void TestFileSafety::failedWriteIsReported_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("place");
    const std::pair<Target, const char*> targets[] = {{Target::Document, "save"},
                                                      {Target::MemoryDump, "memory dump"}};
    const std::pair<Place, const char*> places[] = {{Place::ReadOnlyFolder, "read-only folder"},
                                                    {Place::FullDisk, "full disk"},
                                                    {Place::FileSizeLimit, "file size limit"},
                                                    {Place::MissingFolder, "missing folder"},
                                                    {Place::FolderInTheWay, "folder in the way"}};
    for (const auto& [target, what] : targets) {
        for (const auto& [place, where] : places)
            QTest::addRow("%s, %s", what, where) << int(target) << int(place);
    }
}

// The write fails, a warning "Cannot write file ..." says so, a document stays modified, and the
// file that was there keeps its contents.
void TestFileSafety::failedWriteIsReported()
{
    QFETCH(int, target);
    QFETCH(int, place);
    QTemporaryDir dir;
    const QByteArray existing = "<existing \xe2\x86\x92 file>.\n";
    QString why;
    const QString path = preparePlace(Place(place), dir.path(), existing, &why);
    if (path.isEmpty())
        QSKIP(qPrintable(why));

    DialogScript dialogs;
    auto window = windowtest::makeWindow();
    // Larger than the full disk's room and the file size limit.
    const QByteArray content = oldContent().left(200 * 1000);
    CodeEditor* editor = nullptr;
    if (Target(target) == Target::Document) {
        action(window.get(), "actionNew")->trigger();
        editor = window->currentEditor();
        typeText(editor, QString::fromUtf8(content));
    }
    dialogs.saveNames.push_back(path);
    {
        FileSizeLimit limit(Place(place) == Place::FileSizeLimit);
        if (editor)
            action(window.get(), "actionSave_As")->trigger();
        else
            windowtest::deliver(window.get(),
                                QByteArray("<m\0", 3) + content + QByteArray(1, '\0'));
    }
    releasePlace(Place(place), dir.path());

    QCOMPARE(dialogs.saveCaptions.size(), 1);
    QCOMPARE(dialogs.warnings.size(), 1);
    QVERIFY2(dialogs.warnings.first().text.startsWith(QStringLiteral("Cannot write file")),
             qPrintable(dialogs.warnings.first().text));
    if (editor) {
        QVERIFY(editor->document()->isModified());
        QVERIFY(tabTexts(window.get()).first().endsWith(QLatin1Char('*')));
        editor->document()->setModified(false);
    }
    if (QFileInfo(path).isFile() && Place(place) != Place::FullDisk)
        QVERIFY(readBytes(path) == existing);
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--save-child") == 0) {
        QApplication application(argc, argv);
        return saveChild(QString::fromLocal8Bit(argv[2]));
    }
    // As root, mounts made from here on are this process's own and end with it.
    if (geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0)
        ownMountNamespace = true;
    QApplication application(argc, argv);
    TestFileSafety test;
    test.program = QCoreApplication::applicationFilePath();
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filesafety.moc"
