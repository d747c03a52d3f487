#ifndef RESULTSTEST_H
#define RESULTSTEST_H

// Set-up shared by the result-view tests: a window on the scriptable test engine, with private
// settings, and the delivery of a message to its output slot as the worker would make it.

#include "mainwindow.h"
#include "quorw.h"
#include "testengine.h"

#include <QAction>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

namespace resultstest {

inline void setUp(const QTemporaryDir& settingsDir)
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    registerEngineMetaTypes();
}

inline std::unique_ptr<MainWindow> makeWindow()
{
    testengine::reset();
    QSettings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio")).clear();
    return std::make_unique<MainWindow>(QStringList{QStringLiteral("quorstudio")});
}

template <typename T> T* child(QObject* parent, const char* name)
{
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

inline void deliver(MainWindow* window, const QByteArray& message)
{
    char* block = new char[static_cast<std::size_t>(message.size())];
    std::memcpy(block, message.constData(), static_cast<std::size_t>(message.size()));
    QMetaObject::invokeMethod(window, "output", Qt::DirectConnection, Q_ARG(const char*, block),
                              Q_ARG(size_t, static_cast<size_t>(message.size())));
}

} // namespace resultstest

#endif
