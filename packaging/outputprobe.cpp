// Test helper for the install check, preloaded into the installed program (LD_PRELOAD).
//
// When the application object is constructed it starts watching the Output dock (the
// QPlainTextEdit named "plainTextEdit"). As soon as the engine's version line is there, or after
// QUOR_PROBE_TIMEOUT_MS (default 10000) at the latest, it prints the file the engine library was
// loaded from and every line of the Output dock to standard output, then closes the main window
// the way a user would, so the program also shows that it shuts down cleanly.

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstdio>
#include <dlfcn.h>

namespace {

QString engineLibraryPath()
{
    void* symbol = dlsym(RTLD_DEFAULT, "create_object");
    Dl_info info{};
    if (!symbol || !dladdr(symbol, &info) || !info.dli_fname)
        return QStringLiteral("(not loaded)");
    return QString::fromLocal8Bit(info.dli_fname);
}

QPlainTextEdit* outputDock()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* view = top->findChild<QPlainTextEdit*>(QStringLiteral("plainTextEdit")))
            return view;
    }
    return nullptr;
}

void report()
{
    std::printf("engine library: %s\n", qPrintable(engineLibraryPath()));
    if (QPlainTextEdit* view = outputDock()) {
        for (const QString& line : view->toPlainText().split(QLatin1Char('\n')))
            std::printf("output: %s\n", line.toUtf8().constData());
    } else {
        std::printf("no Output dock found\n");
    }
    std::fflush(stdout);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(top))
            top->close();
    }
}

void startProbe()
{
    const int limit = qEnvironmentVariableIsSet("QUOR_PROBE_TIMEOUT_MS")
                          ? qEnvironmentVariableIntValue("QUOR_PROBE_TIMEOUT_MS")
                          : 10000;
    auto* timer = new QTimer(QCoreApplication::instance());
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, limit] {
        QPlainTextEdit* view = outputDock();
        const bool shown =
            view && view->toPlainText().contains(QStringLiteral("QUOR library version "));
        if (!shown && clock->elapsed() < limit)
            return;
        timer->stop();
        delete clock;
        report();
    });
    timer->start(100);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startProbe)
