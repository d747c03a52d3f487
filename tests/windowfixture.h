#ifndef WINDOWFIXTURE_H
#define WINDOWFIXTURE_H

// The window fixture shared by the tests and benchmarks that drive the main window: a private
// settings store (besides the private home and XDG folders ctest gives every test), the window
// made with the scriptable test engine reset, and every modal question answered by a script.

#include "codeeditor.h"
#include "dialogs.h"
#include "mainwindow.h"
#include "privateenvironment.h"
#include "quorw.h"
#ifndef QUOR_TEST_REAL_ENGINE
#include "testengine.h"
#endif

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtWidgets/qtestsupport_widgets.h>

#include <cstring>
#include <deque>

namespace fixture {

// A member of every window test class: set up before the first test function runs.
struct Environment {
    PrivateEnvironment privateEnvironment;
    Environment() { registerEngineMetaTypes(); }
};

inline QSettings* settings()
{
    static QSettings* store = nullptr;
    delete store; // a fresh object reads what the window wrote meanwhile
    store = new QSettings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"));
    return store;
}

inline void clearSettings()
{
    settings()->clear();
}

inline std::unique_ptr<MainWindow> makeWindow(const QStringList& arguments = {})
{
#ifndef QUOR_TEST_REAL_ENGINE
    testengine::reset();
#endif
    return std::make_unique<MainWindow>(QStringList{QStringLiteral("quorstudio")} + arguments);
}

// The window shown and active, as the user sees it.
inline std::unique_ptr<MainWindow> shownWindow(const QStringList& arguments = {})
{
    auto window = makeWindow(arguments);
    window->show();
    if (!QTest::qWaitForWindowActive(window.get()))
        qFatal("the window did not become active");
    return window;
}

template <typename T = QObject> T* child(QObject* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// The window's one part of type T (a helper object of its own class).
template <typename T> T* part(QObject* window)
{
    T* found = window->findChild<T*>();
    if (!found)
        qFatal("no %s", T::staticMetaObject.className());
    return found;
}

inline QAction* action(QObject* window, const char* name)
{
    return child<QAction>(window, name);
}
inline void trigger(QObject* window, const char* name)
{
    action(window, name)->trigger();
}
inline QTabWidget* tabs(QObject* window)
{
    return child<QTabWidget>(window, "tabWidget_3");
}

inline QStringList tabTexts(QObject* window)
{
    QStringList texts;
    for (int i = 0; i < tabs(window)->count(); ++i)
        texts << tabs(window)->tabText(i);
    return texts;
}

// The tab texts with the current one in brackets: "a.quor [new 1*]".
inline QString tabState(QObject* window)
{
    QStringList texts = tabTexts(window);
    if (!texts.isEmpty())
        texts[tabs(window)->currentIndex()] = '[' + texts[tabs(window)->currentIndex()] + ']';
    return texts.join(' ');
}

// The Output dock's lines, after the texts waiting to be appended have been shown.
inline QStringList outputLines(QObject* window)
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return child<QPlainTextEdit>(window, "plainTextEdit")->toPlainText().split('\n');
}

#ifndef QUOR_TEST_REAL_ENGINE
// The texts the engine received after the start-up version request, as "text@line".
inline QStringList sentInputs()
{
    QStringList texts;
    for (const auto& input : testengine::inputs())
        texts << QString::fromStdString(input.bytes) + '@' + QString::number(input.line);
    return texts.mid(1);
}
#endif

// Hands one message to the window's output slot as the worker would: a heap block of exactly
// the message's size that the slot then owns.
inline void deliver(MainWindow* window, const QByteArray& message)
{
    char* block = new char[std::size_t(message.size())];
    std::memcpy(block, message.constData(), std::size_t(message.size()));
    QMetaObject::invokeMethod(window, "output", Qt::DirectConnection, Q_ARG(const char*, block),
                              Q_ARG(size_t, size_t(message.size())));
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Types text at the end of a document as the user would.
inline CodeEditor* typeText(CodeEditor* editor, const QString& text)
{
    editor->moveCursor(QTextCursor::End);
    editor->insertPlainText(text);
    return editor;
}

inline CodeEditor* newDocument(MainWindow* window, const QString& text = QString())
{
    trigger(window, "actionNew");
    return typeText(window->currentEditor(), text);
}

// Selects from (line, column) to (line, column), both 1-based, anchor first.
inline void select(CodeEditor* editor, int anchorLine, int anchorColumn, int line, int column)
{
    QTextDocument* document = editor->document();
    QTextCursor cursor(document);
    cursor.setPosition(document->findBlockByNumber(anchorLine - 1).position() + anchorColumn - 1);
    cursor.setPosition(document->findBlockByNumber(line - 1).position() + column - 1,
                       QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
}

inline QStringList recentFiles()
{
    return settings()->value(QStringLiteral("recentFileList")).toStringList();
}

inline void clickTabClose(MainWindow* window, int index)
{
    QTabBar* bar = tabs(window)->tabBar();
    QWidget* widget = bar->tabButton(index, QTabBar::RightSide);
    auto* button =
        qobject_cast<QAbstractButton*>(widget ? widget : bar->tabButton(index, QTabBar::LeftSide));
    if (!button)
        qFatal("tab %d has no close button", index);
    button->click();
}

struct Warning {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// Answers the save-file, open-file and warning dialogs from queues and records what was asked.
// A question without a queued answer is recorded too and answered with a cancel. The real
// dialogs come back when the script is destroyed.
class DialogScript {
public:
    DialogScript()
    {
        Dialogs::setSaveFileNameResponder([this](const QString& caption, const QString& filter) {
            saveCaptions.append(caption);
            saveFilters.append(filter);
            return take(saveNames, QStringLiteral("save: ") + caption);
        });
        Dialogs::setOpenFileNamesResponder([this](const QString& filter) {
            openFilters.append(filter);
            return take(openNames, QStringLiteral("open"));
        });
        Dialogs::setWarningResponder([this](const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons) {
            warnings.append({title, text, buttons});
            if (!answers.empty() || buttons != QMessageBox::Ok)
                return take(answers, QStringLiteral("warning: ") + text, QMessageBox::Cancel);
            return QMessageBox::Ok;
        });
    }
    ~DialogScript()
    {
        Dialogs::setSaveFileNameResponder({});
        Dialogs::setOpenFileNamesResponder({});
        Dialogs::setWarningResponder({});
    }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    std::deque<QString> saveNames;
    std::deque<QStringList> openNames;
    std::deque<QMessageBox::StandardButton> answers;

    QStringList saveCaptions;
    QStringList saveFilters;
    QStringList openFilters;
    QList<Warning> warnings;
    QStringList unanswered;

private:
    template <typename T> T take(std::deque<T>& queue, const QString& question, T none = T())
    {
        if (queue.empty()) {
            unanswered.append(question);
            return none;
        }
        const T answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

} // namespace fixture

#endif
