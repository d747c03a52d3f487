// Files: the file-name rules of every save dialog, writes that fail (read-only folder, full disk,
// file size limit, missing folder, a folder in the way), a save killed half-way, and unusual
// files opened, edited and saved.
//
// Run as root, the test works in a mount namespace of its own, so that it can mount a read-only
// and a tiny (full) file system where permissions would not stop root; the mounts end with the
// process. Where no private namespace can be had (as root in a chroot) those rows are skipped,
// as they are for another user, for whom a folder without write permission stands in for the
// read-only one.

#include "windowfixture.h"

#include <QtTest>

#include "filenames.h"
#include "svgview.h"
#include "textfile.h"

#include <QProcess>
#include <QRandomGenerator>

#include <csignal>
#include <optional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace fixture;

namespace {

bool ownMountNamespace = false;

QByteArray largeText(int bytes)
{
    const QByteArray line = "<old \xe2\x86\x92 version>. // a line of the notation, as it was\n";
    QByteArray text = line.repeated(bytes / line.size());
    return text + QByteArray(bytes - text.size(), 'x');
}

const QByteArray Appended = "\n<appended \xe2\x86\x92 text>.";

// The child process of the kill test: types at the end of the file and saves it again and again
// through the window's Save action until it is killed.
int saveChild(const QString& path)
{
    Environment environment;
    auto window = makeWindow({path});
    typeText(window->currentEditor(), QString::fromUtf8(Appended));
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        window->currentEditor()->document()->setModified(true);
        trigger(window.get(), "actionSave");
        std::printf("saved\n");
        std::fflush(stdout);
    }
}

// What is written: a document (Save As), a PDF export, a graph (Save as... of the view) or a
// memory dump from the engine. Returns the dialog's caption and filter.
enum Kind { Document, Pdf, Svg, MemoryDump };
QString write(MainWindow* window, int kind, const QByteArray& content, bool* svgWritten = nullptr)
{
    switch (kind) {
    case Document:
        newDocument(window, QString::fromUtf8(content));
        trigger(window, "actionSave_As");
        return QStringLiteral("Save as...|") + documentFileFilter();
    case Pdf:
        newDocument(window, QString::fromUtf8(content));
        trigger(window, "actionPrint_to_pdf");
        return QStringLiteral("Export PDF|*.pdf");
    case Svg: {
        auto* view = child<SvgView>(window, "graphicsView1");
        view->load(QString::fromUtf8(content));
        const bool written = view->saveAs();
        if (svgWritten)
            *svgWritten = written;
        return QStringLiteral("Save as...|SVG Files (*.svg)");
    }
    default:
        deliver(window, QByteArray("<m\0", 3) + content + QByteArray("\0ignored", 8));
        return QStringLiteral("Save as...|") + documentFileFilter();
    }
}

enum class Place { ReadOnlyFolder, FullDisk, FileSizeLimit, MissingFolder, FolderInTheWay };

// Prepares `dir` so that writing `name` in it fails as `place` says; an existing file there
// holds `existing`. Returns the path to write, or an empty string when this place cannot be made.
QString preparePlace(Place place, const QString& dir, const QString& name,
                     const QByteArray& existing)
{
    const QString path = dir + '/' + name;
    const QByteArray d = QFile::encodeName(dir);
    switch (place) {
    case Place::ReadOnlyFolder:
        if (ownMountNamespace) {
            if (mount("quor-ro", d.constData(), "tmpfs", 0, "size=1m") != 0 ||
                !writeBytes(path, existing) ||
                mount(nullptr, d.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                return QString();
        } else if (geteuid() != 0) {
            writeBytes(path, existing);
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        } else {
            return QString();
        }
        return path;
    case Place::FullDisk: // 64 KiB: the old file fits, the new large one does not
        if (!ownMountNamespace || mount("quor-full", d.constData(), "tmpfs", 0, "size=64k") != 0)
            return QString();
        writeBytes(path, existing);
        return path;
    case Place::FileSizeLimit:
        writeBytes(path, existing);
        return path;
    case Place::MissingFolder:
        return dir + QStringLiteral("/no such folder/") + name;
    case Place::FolderInTheWay:
        QDir(dir).mkdir(name);
        return path;
    }
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
struct FileSizeLimit {
    rlimit saved{};
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    FileSizeLimit()
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit{16 * 1024, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    }
};

} // namespace

class TestFiles : public QObject {
    Q_OBJECT
    Environment environment;

public:
    QString program;

private slots:
    void init() { clearSettings(); }

    void fileNameRules_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("rules"); // document, PDF and SVG names written
        const char* rows[][3] = {
            {"no suffix", "notes", "notes.quor notes.pdf notes.svg"},
            {".TXT", "n.TXT", "n.TXT n.TXT n.TXT.svg"},
            {".Qrs", "n.Qrs", "n.Qrs n.Qrs n.Qrs.svg"},
            {".Quor", "n.Quor", "n.Quor n.Quor n.Quor.svg"},
            {".md", "n.md", "n.md.quor n.md n.md.svg"},
            {".PDF", "n.PDF", "n.PDF.quor n.PDF n.PDF.svg"},
            {".Svg", "n.Svg", "n.Svg.quor n.Svg n.Svg"},
            {".svg.txt", "n.svg.txt", "n.svg.txt n.svg.txt n.svg.txt.svg"},
            {"dotted folder", "v1.2/n", "v1.2/n.quor v1.2/n.pdf v1.2/n.svg"},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]);
    }
    void fileNameRules()
    {
        QFETCH(QString, typed);
        QTEST(QStringList({withDocumentSuffix(typed), withPdfSuffix(typed), withSvgSuffix(typed)})
                  .join(' '),
              "rules");
    }

    // What each save dialog asks and writes: a document as its text, a PDF, a graph as its text
    // in UTF-8, a memory dump byte for byte; cancelled, nothing.
    void writes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("cancelled");
        const char* kinds[] = {"document", "pdf", "svg", "memory dump"};
        for (int kind : {Document, Pdf, Svg, MemoryDump}) {
            QTest::addRow("%s", kinds[kind]) << kind << false;
            QTest::addRow("%s, cancelled", kinds[kind]) << kind << true;
        }
    }
    void writes()
    {
        QFETCH(int, kind);
        QFETCH(bool, cancelled);
        QTemporaryDir dir;
        DialogScript script;
        if (!cancelled)
            script.saveNames.push_back(dir.filePath("out"));
        auto window = makeWindow();
        const QByteArray content = kind == Svg          ? "<svg>\u2192</svg>"
                                   : kind == MemoryDump ? "⋙ words\n\xff raw"
                                                        : "⋙ words\n";
        bool svgWritten = false;
        const QString dialog = write(window.get(), kind, content, &svgWritten);
        QCOMPARE(script.saveCaptions.join('|') + '|' + script.saveFilters.join('|'), dialog);
        QVERIFY(script.warnings.isEmpty());
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        const char* names[] = {"out.quor", "out.pdf", "out.svg", "out.quor"};
        QCOMPARE(files, cancelled ? QStringList{} : QStringList{names[kind]});
        QCOMPARE(svgWritten, kind == Svg && !cancelled);
        const QByteArray bytes = cancelled ? QByteArray() : readBytes(dir.filePath(names[kind]));
        QVERIFY(cancelled || (kind == Pdf ? bytes.startsWith("%PDF") : bytes == content));
        if (kind == Document && !cancelled) {
            QCOMPARE(window->currentEditor()->fileName, dir.filePath("out.quor"));
            QCOMPARE(tabTexts(window.get()), QStringList{"out.quor"});
            QCOMPARE(recentFiles(), QStringList{dir.filePath("out.quor")});
        }
        if (kind == Pdf) // exporting leaves the document as it was
            QCOMPARE(tabTexts(window.get()), QStringList{"new 1*"});
    }

    // The write fails and says so ("Cannot write file ..."; a graph's Save as returns false), a
    // document stays modified, and the file that was there keeps its contents.
    void failedWrites_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("place");
        const char* kinds[] = {"document", "pdf", "svg", "memory dump"};
        const char* places[] = {"read-only folder", "full disk", "file size limit",
                                "missing folder", "folder in the way"};
        for (int kind : {Document, MemoryDump, Pdf, Svg}) {
            for (int place = 0; place < 5; ++place) {
                // A PDF or a graph cut short by a full disk or a size limit is not noticed.
                if ((kind == Pdf || kind == Svg) && (place == 1 || place == 2))
                    continue;
                QTest::addRow("%s, %s", kinds[kind], places[place]) << kind << place;
            }
        }
    }
    void failedWrites()
    {
        QFETCH(int, kind);
        QFETCH(int, place);
        QTemporaryDir dir;
        const QByteArray existing = "<existing \xe2\x86\x92 file>.\n";
        const QString name = kind == Svg ? "doc.svg" : kind == Pdf ? "doc.pdf" : "doc.quor";
        const QString path = preparePlace(Place(place), dir.path(), name, existing);
        if (path.isEmpty())
            QSKIP("needs root for a file system of its own");
        DialogScript script;
        script.saveNames.push_back(path);
        auto window = makeWindow();
        bool svgWritten = true;
        {
            std::optional<FileSizeLimit> limit;
            if (Place(place) == Place::FileSizeLimit)
                limit.emplace();
            write(window.get(), kind, largeText(200 * 1000), &svgWritten);
        }
        releasePlace(Place(place), dir.path());
        QCOMPARE(script.saveCaptions.size(), 1);
        if (kind == Svg) {
            QVERIFY(!svgWritten);
        } else {
            QCOMPARE(script.warnings.size(), 1);
            QVERIFY2(script.warnings.first().text.startsWith("Cannot write file"),
                     qPrintable(script.warnings.first().text));
        }
        if (kind == Document) {
            QVERIFY(window->currentEditor()->document()->isModified());
            QVERIFY(tabTexts(window.get()).first().endsWith('*'));
        }
        if (QFileInfo(path).isFile() && Place(place) != Place::FullDisk)
            QCOMPARE(readBytes(path), existing);
    }

    // A save killed half-way leaves the old file or the new one, never a cut one, and no
    // temporary file is left.
    void saveReplacesWholeFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("document.quor"));
        const QByteArray before = largeText(6 * 1000 * 1000);
        QRandomGenerator random(8);
        int newSeen = 0;
        for (int i = 0; i < 16; ++i) {
            QVERIFY(writeBytes(path, before));
            QProcess child;
            child.start(program, {QStringLiteral("--save-child"), path});
            QVERIFY(child.waitForStarted());
            QVERIFY2(child.waitForReadyRead(120000), qPrintable(child.readAllStandardError()));
            QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
            // Some kills land before the first save is complete; the others after one save at
            // least, most in the middle of a later one.
            if (i >= 4) {
                while (!child.canReadLine())
                    QVERIFY(child.waitForReadyRead(120000));
            }
            QThread::msleep(random.bounded(i < 4 ? 5 : 400));
            child.kill();
            QVERIFY(child.waitForFinished());
            const QByteArray now = readBytes(path);
            QVERIFY2(now == before || now == before + Appended, qPrintable(QString::number(i)));
            // (No inode comparison: the file system may hand a freed inode number to a later
            // save of the same child.)
            if (now != before)
                ++newSeen;
        }
        QVERIFY(newSeen > 0);
        // A save that is not interrupted leaves no temporary file beside the document.
        QTemporaryDir clean;
        QVERIFY(writeBytes(clean.filePath("a.quor"), before));
        auto window = makeWindow({clean.filePath("a.quor")});
        trigger(window.get(), "actionSave");
        QCOMPARE(QDir(clean.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.quor"});
    }

    // Opened, edited and saved through the window's actions: every byte of the file is still
    // there, followed by what was typed.
    void openEditSave_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << "empty.quor" << QByteArray();
        QTest::newRow("notation, no final line end")
            << "n.quor" << QByteArray("⋙ debug on\n(a → b) ∧ c ⇒ d\n\nb");
        QTest::newRow("no-break space and line separator")
            << "s.quor" << QByteArray("a\xc2\xa0z\n\xe2\x80\xa8.");
        QTest::newRow("control characters and NUL")
            << "control.txt" << QByteArray("\0\1\2\3\a\b\t\v\f\x1b\x7f end\n\0", 17);
        QTest::newRow("50 MB") << "large.quor" << largeText(50 * 1000 * 1000);
        QTest::newRow("one line of 1,000,000 characters")
            << "long line.quor" << QByteArray(1000000, 'a') + "\xe2\x86\x92" + QByteArray(99, 'b');
        QTest::newRow("name with blanks") << "my notes v2 .quor" << QByteArray("<a → b>.\n");
        QTest::newRow("name outside ASCII") << "été ⇒ 日本.quor" << QByteArray("<café → x>.\n");
    }
    void openEditSave()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(writeBytes(path, content));
        DialogScript script;
        auto window = makeWindow();
        script.openNames.push_back({path});
        trigger(window.get(), "actionOpen");
        QCOMPARE(tabTexts(window.get()), QStringList{name});
        typeText(window->currentEditor(), QString::fromUtf8(Appended));
        trigger(window.get(), "actionSave");
        QVERIFY2(script.warnings.isEmpty(), qPrintable(script.warnings.value(0).text));
        QCOMPARE(tabTexts(window.get()), QStringList{name});
        QVERIFY(readBytes(path) == content + Appended);
        QVERIFY(recentFiles().contains(path));
    }

    // The whole file or nothing: over the limit, a file is refused whether its size says so
    // before it is read or it turns out larger while it is read (a /proc file claims 0 bytes).
    void readWhole_data()
    {
        QTest::addColumn<QString>("path"); // "@": a file of `size` bytes
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<int>("status");
        QTest::newRow("below the limit")
            << "@" << qint64(999) << qint64(1000) << int(TextFile::Read);
        QTest::newRow("at the limit") << "@" << qint64(1000) << qint64(1000) << int(TextFile::Read);
        QTest::newRow("over the limit")
            << "@" << qint64(1001) << qint64(1000) << int(TextFile::TooLarge);
        QTest::newRow("grows past the limit while read")
            << "/proc/self/status" << qint64(-1) << qint64(16) << int(TextFile::TooLarge);
        QTest::newRow("grows within the limit")
            << "/proc/self/status" << qint64(-1) << qint64(1 << 20) << int(TextFile::Read);
    }
    void readWhole()
    {
        QFETCH(QString, path);
        QFETCH(qint64, size);
        QFETCH(qint64, limit);
        QTemporaryDir dir;
        if (path == "@") {
            path = dir.filePath("file.quor");
            QVERIFY(writeBytes(path, QByteArray(int(size), 'x')));
        }
        const TextFile file = readTextFile(path, limit);
        QTEST(int(file.status), "status");
        if (file.status != TextFile::Read)
            QVERIFY(file.text.isEmpty());
        else if (size >= 0)
            QCOMPARE(file.text, QString(int(size), 'x'));
        else
            QVERIFY(file.text.startsWith("Name:") && file.text.endsWith('\n'));
    }

    // A file that is not valid UTF-8 cannot be shown without replacing bytes: opening says so,
    // and saving over it asks first. Declined, the file keeps every byte; saved elsewhere, the
    // original is still guarded; agreed (Save All), the text is written as shown.
    void invalidUtf8_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("agree");
        QByteArray everyByte;
        for (int b = 0; b < 1024; ++b)
            everyByte += char(b);
        QTest::newRow("Latin-1 byte") << QByteArray("caf\xe9 ok\n") << true;
        QTest::newRow("stray continuation") << QByteArray("a\x80z") << false;
        QTest::newRow("sequence cut at the end") << QByteArray("ab\xe2\x8b") << true;
        QTest::newRow("every byte value") << everyByte << false;
        QTest::newRow("compressed data") << qCompress(largeText(200000), 9) << false;
        QTest::newRow("UTF-16") << QByteArray("\xff\xfe<\0a\0 \0\x92\x21 \0b\0>\0.\0", 18) << true;
    }
    void invalidUtf8()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, agree);
        QTemporaryDir dir;
        const QString path = dir.filePath("data.txt");
        QVERIFY(writeBytes(path, content));
        DialogScript script;
        auto window = makeWindow({path});
        QCOMPARE(script.warnings.size(), 1);
        QVERIFY(script.warnings.first().text.contains(QDir::toNativeSeparators(path)));
        QVERIFY(script.warnings.first().text.contains("not valid UTF-8"));
        CodeEditor* editor = window->currentEditor();
        typeText(editor, QStringLiteral("!"));
        script.answers.push_back(QMessageBox::Cancel);
        trigger(window.get(), "actionSave");
        QCOMPARE(script.warnings.size(), 2);
        QCOMPARE(script.warnings.last().buttons, QMessageBox::Save | QMessageBox::Cancel);
        QVERIFY(readBytes(path) == content);
        QCOMPARE(tabTexts(window.get()), QStringList{"data.txt*"});
        if (agree) {
            script.answers.push_back(QMessageBox::Save);
            trigger(window.get(), "actionSave_All");
            QCOMPARE(script.warnings.size(), 3);
            QCOMPARE(readBytes(path), editor->toPlainText().toUtf8());
            typeText(editor, QStringLiteral("?")); // valid now: later saves do not ask
            trigger(window.get(), "actionSave");
            QCOMPARE(script.warnings.size(), 3);
        } else {
            script.saveNames.push_back(dir.filePath("copy.txt"));
            trigger(window.get(), "actionSave_As");
            QCOMPARE(script.warnings.size(), 2);
            QVERIFY(QFileInfo(dir.filePath("copy.txt")).isFile());
            QVERIFY(!editor->document()->isModified());
            script.saveNames.push_back(path);
            script.answers.push_back(QMessageBox::Cancel);
            trigger(window.get(), "actionSave_As");
            QCOMPARE(script.warnings.size(), 3);
            QVERIFY(readBytes(path) == content);
        }
        QVERIFY(script.unanswered.isEmpty());
    }
};

// True when this process can have a mount namespace whose mounts stay its own: tried first in
// a child, since a namespace that cannot be made private (in a chroot, "/" is no mount point)
// must not be entered: it would still share its mounts, and /proc/self/exe would no longer name
// the program by a path inside the root.
bool privateMountsPossible()
{
    if (geteuid() != 0)
        return false;
    const pid_t child = fork();
    if (child == 0)
        _exit(unshare(CLONE_NEWNS) == 0 &&
                      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
                  ? 0
                  : 1);
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--save-child") == 0) {
        QApplication application(argc, argv);
        return saveChild(QString::fromLocal8Bit(argv[2]));
    }
    // The program's own path, taken before the mount namespace changes.
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    // As root, mounts made from here on are this process's own and end with it.
    if (privateMountsPossible() && unshare(CLONE_NEWNS) == 0)
        ownMountNamespace = mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    QApplication application(argc, argv);
    TestFiles test;
    test.program = program;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_files.moc"
