#ifndef DOCUMENTSTEST_H
#define DOCUMENTSTEST_H

// Helpers for the tests that drive documents, files and window services through the user's
// actions, with every modal question answered by a script instead of a dialog.

#include "app/windowtest.h"
#include "codeeditor.h"
#include "dialogs.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>

#include <deque>

namespace documentstest {

using windowtest::child;

// One warning box as the program asked it.
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
            if (saveNames.empty()) {
                unanswered.append(QStringLiteral("save: ") + caption);
                return QString();
            }
            const QString name = saveNames.front();
            saveNames.pop_front();
            return name;
        });
        Dialogs::setOpenFileNamesResponder([this](const QString& filter) {
            openFilters.append(filter);
            if (openNames.empty()) {
                unanswered.append(QStringLiteral("open"));
                return QStringList();
            }
            const QStringList names = openNames.front();
            openNames.pop_front();
            return names;
        });
        Dialogs::setWarningResponder([this](const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons) {
            warnings.append({title, text, buttons});
            if (answers.empty()) {
                if (buttons != QMessageBox::Ok)
                    unanswered.append(QStringLiteral("warning: ") + text);
                return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
                                                             : QMessageBox::Ok;
            }
            const QMessageBox::StandardButton answer = answers.front();
            answers.pop_front();
            return answer;
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
};

inline QTabWidget* tabs(MainWindow* window)
{
    return child<QTabWidget>(window, "tabWidget_3");
}

inline QAction* action(MainWindow* window, const char* name)
{
    QAction* found = child<QAction>(window, name);
    if (!found)
        qFatal("no action %s", name);
    return found;
}

inline QStringList tabTexts(MainWindow* window)
{
    QStringList texts;
    for (int i = 0; i < tabs(window)->count(); ++i)
        texts << tabs(window)->tabText(i);
    return texts;
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Types text at the end of an editor's document as the user would.
inline void typeText(CodeEditor* editor, const QString& text)
{
    editor->moveCursor(QTextCursor::End);
    editor->insertPlainText(text);
}

// Clicks the close button of a tab.
inline void clickTabClose(MainWindow* window, int index)
{
    QTabBar* bar = tabs(window)->tabBar();
    QWidget* button = bar->tabButton(index, QTabBar::RightSide);
    if (!button)
        button = bar->tabButton(index, QTabBar::LeftSide);
    auto* closeButton = qobject_cast<QAbstractButton*>(button);
    if (!closeButton)
        qFatal("tab %d has no close button", index);
    closeButton->click();
}

inline QStringList recentFiles()
{
    QSettings settings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"));
    return settings.value(QStringLiteral("recentFileList")).toStringList();
}

// The permanent line/column label of the status bar.
inline QLabel* positionLabel(MainWindow* window)
{
    const auto labels = child<QStatusBar>(window, "statusBar")->findChildren<QLabel*>();
    return labels.size() == 1 ? labels.first() : nullptr;
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

} // namespace documentstest

#endif
