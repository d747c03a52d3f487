#ifndef WINDOWTEST_H
#define WINDOWTEST_H

// Helpers shared by the tests that drive the main window with the scriptable test engine.

#include "mainwindow.h"
#include "quorw.h"
#ifndef QUOR_TEST_REAL_ENGINE
#include "testengine.h"
#endif

#include <QAction>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

namespace windowtest {

// Points the settings store at a private folder (in addition to the private XDG folders ctest
// provides) and prepares the meta-types the program registers in main().
inline void setUpEnvironment(const QTemporaryDir& settingsDir)
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setDefaultFormat(QSettings::NativeFormat);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    registerEngineMetaTypes();
}

inline void clearSettings()
{
    QSettings settings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"));
    settings.clear();
}

inline std::unique_ptr<MainWindow> makeWindow(const QStringList& arguments = {})
{
#ifndef QUOR_TEST_REAL_ENGINE
    testengine::reset();
#endif
    return std::make_unique<MainWindow>(QStringList{QStringLiteral("quorstudio")} + arguments);
}

template <typename T> T* child(QObject* window, const char* name)
{
    return window->findChild<T*>(QString::fromLatin1(name));
}

// The Output dock's lines, after the texts waiting to be appended have been shown.
inline QStringList outputLines(QObject* window)
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return child<QPlainTextEdit>(window, "plainTextEdit")->toPlainText().split(QLatin1Char('\n'));
}

#ifndef QUOR_TEST_REAL_ENGINE
// The texts the engine received, in order, with their lines.
inline QList<QPair<QString, int>> engineInputs()
{
    QList<QPair<QString, int>> result;
    for (const auto& input : testengine::inputs())
        result.append({QString::fromStdString(input.bytes), input.line});
    return result;
}
#endif

// Hands one message to the window's output slot as the worker would: a heap block of exactly
// the message's size that the slot then owns.
inline void deliver(MainWindow* window, const QByteArray& message)
{
    char* block = new char[static_cast<std::size_t>(message.size())];
    std::memcpy(block, message.constData(), static_cast<std::size_t>(message.size()));
    QMetaObject::invokeMethod(window, "output", Qt::DirectConnection, Q_ARG(const char*, block),
                              Q_ARG(size_t, static_cast<size_t>(message.size())));
}

} // namespace windowtest

#endif
