// The whole dispatcher as the program runs it: every input is handed to MainWindow::output
// offscreen as one engine message (an exact-size heap block that the slot owns and frees), so
// the views (Output and Error docks, term tables, both SVG views, the memory-save path) take
// whatever the message holds. One window serves the whole run; the Save dialog of a memory
// dump is answered with Cancel, and the Output and Error docks and the editor's error marks are
// emptied now and then so the run does not grow without end.

#include "codeeditor.h"
#include "dialogs.h"
#include "mainwindow.h"
#include "privateenvironment.h"
#include "quorw.h"

#include <QApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

MainWindow* window = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(*argc, *argv);
    static const PrivateEnvironment environment;
    registerEngineMetaTypes();
    Dialogs::setSaveFileNameResponder([](const QString&, const QString&) { return QString(); });
    Dialogs::setWarningResponder([](const QString&, const QString&, QMessageBox::StandardButtons) {
        return QMessageBox::Cancel;
    });
    window = new MainWindow(QStringList{QStringLiteral("quorstudio")});
    // A document, so that error messages have an editor to mark.
    QMetaObject::invokeMethod(window, "newFile", Qt::DirectConnection);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    static unsigned count = 0;
    char* block = new char[size];
    if (size)
        std::memcpy(block, bytes, size);
    QMetaObject::invokeMethod(window, "output", Qt::DirectConnection, Q_ARG(const char*, block),
                              Q_ARG(size_t, size));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    if (++count % 500 == 0) {
        // What a user's next Run would do: the Output and Error docks emptied, the marks gone.
        // Marks left to pile up make every new one slower (each redraw lays out all of them).
        QMetaObject::invokeMethod(window, "clearOutputWindow", Qt::DirectConnection);
        if (CodeEditor* editor = window->currentEditor())
            editor->clearErrorMarks();
    }
    return 0;
}
