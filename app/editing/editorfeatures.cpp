#include "editorfeatures.h"

#include "abbreviationexpander.h"
#include "codeeditor.h"
#include "completioncontroller.h"
#include "editorzoom.h"
#include "hovertips.h"
#include "mainwindow.h"
#include "outputappender.h"
#include "sentregion.h"
#include "steppingcontroller.h"
#include "termwords.h"
#include "windowlayout.h"

#include <QAction>
#include <QDockWidget>
#include <QListWidget>
#include <QMenu>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QToolBar>

namespace {

template <typename T> T* named(QObject* window, const char* name)
{
    return window->findChild<T*>(QString::fromLatin1(name));
}

} // namespace

EditorFeatures::EditorFeatures(MainWindow* window)
    : QObject(window), window(window), tabs(named<QTabWidget>(window, "tabWidget_3")),
      output(named<QPlainTextEdit>(window, "plainTextEdit")),
      errors(named<QListWidget>(window, "listWidget")),
      statements(named<QTableWidget>(window, "tableWidget_3")), editorZoom(new EditorZoom(this)),
      engineWords(new TermWords(named<QTableWidget>(window, "tableWidget_1"))),
      engineCompounds(new TermWords(named<QTableWidget>(window, "tableWidget_2"))),
      layout(new WindowLayout(window, tabs)), stepper(new SteppingController(this))
{
    setObjectName(QStringLiteral("editorFeatures"));
    layout->restore();
    createActions();

    // Everything Run to Cursor and Step Back send goes out as the window's own input.
    connect(stepper, &SteppingController::input, window, &MainWindow::input);
    connect(window, &MainWindow::input, this, &EditorFeatures::inputSent);
    connect(named<QAction>(window, "actionStepForward"), &QAction::triggered, this,
            [this] { confirmSent(false); });
    connect(named<QAction>(window, "actionRun"), &QAction::triggered, this,
            [this] { confirmSent(true); });
    connect(named<QAction>(window, "actionClear_Memory"), &QAction::triggered, this,
            [this] { clearOtherRegions(nullptr); });
    for (const char* save : {"actionSave", "actionSave_As", "actionSave_All"})
        connect(named<QAction>(window, save), &QAction::triggered, layout,
                &WindowLayout::updateTitle);

    // Escape puts the Find and Replace dock away while it has the focus.
    if (auto* find = named<QDockWidget>(window, "dockWidget_7")) {
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), find, nullptr, nullptr,
                                     Qt::WidgetWithChildrenShortcut);
        connect(escape, &QShortcut::activated, this, [this, find] {
            find->close();
            if (CodeEditor* editor = currentEditor())
                editor->setFocus();
        });
    }

    connect(tabs, &QTabWidget::currentChanged, this, [this] {
        if (CodeEditor* editor = currentEditor())
            attach(editor);
    });
    for (int i = 0; i < tabs->count(); ++i) {
        if (auto* editor = qobject_cast<CodeEditor*>(tabs->widget(i)))
            attach(editor);
    }
    layout->updateTitle();
}

CodeEditor* EditorFeatures::currentEditor() const
{
    return qobject_cast<CodeEditor*>(tabs->currentWidget());
}

void EditorFeatures::createActions()
{
    const auto add = [this](const char* name, const QString& text, const QString& icon,
                            const QList<QKeySequence>& keys) {
        auto* action = new QAction(text, window);
        action->setObjectName(QString::fromLatin1(name));
        if (!icon.isEmpty())
            action->setIcon(QIcon(icon));
        action->setShortcuts(keys);
        window->addAction(action);
        return action;
    };
    QAction* runToCursor =
        add("actionRunToCursor", tr("Run to Cursor"),
            QStringLiteral(":/resources/run-to-cursor.png"), {QKeySequence(tr("Ctrl+F10"))});
    QAction* stepBack =
        add("actionStepBack", tr("Step Back"), QStringLiteral(":/resources/step-back.png"),
            {QKeySequence(tr("Ctrl+F9"))});
    connect(runToCursor, &QAction::triggered, this, &EditorFeatures::runToCursor);
    connect(stepBack, &QAction::triggered, this, &EditorFeatures::stepBack);
    for (const char* container : {"menuDebug", "debugToolBar"}) {
        if (auto* widget = named<QWidget>(window, container)) {
            QAction* separator = new QAction(widget);
            separator->setSeparator(true);
            widget->addActions({separator, runToCursor, stepBack});
        }
    }

    // Zoom works wherever the focus is in the window; Ctrl+0 keeps typing ◊ in the editor, so
    // the unzoomed font comes back with Ctrl and the keypad's 0.
    connect(add("actionZoomIn", tr("Zoom In"), QString(),
                {QKeySequence(tr("Ctrl+=")), QKeySequence(tr("Ctrl++"))}),
            &QAction::triggered, editorZoom, &EditorZoom::zoomIn);
    connect(add("actionZoomOut", tr("Zoom Out"), QString(), {QKeySequence(tr("Ctrl+-"))}),
            &QAction::triggered, editorZoom, &EditorZoom::zoomOut);
    connect(add("actionZoomReset", tr("Reset Zoom"), QString(),
                {QKeySequence(Qt::CTRL | Qt::KeypadModifier | Qt::Key_0)}),
            &QAction::triggered, editorZoom, &EditorZoom::reset);
}

void EditorFeatures::attach(CodeEditor* editor)
{
    if (editor->findChild<AbbreviationExpander*>())
        return;
    // The completion's filter is installed last and so sees keys first: with its list open,
    // Tab and Enter choose from it.
    new AbbreviationExpander(editor);
    new CompletionController(editor, [this] {
        return QVector<const QStringList*>{&engineWords->terms(), &engineCompounds->terms()};
    });
    new HoverTips(editor, errors, statements);
    SentRegion::of(editor);
    editorZoom->attach(editor);
    connect(editor->document(), &QTextDocument::modificationChanged, layout,
            &WindowLayout::updateTitle);
}

void EditorFeatures::inputSent(const QString& text, int line)
{
    CodeEditor* editor = currentEditor();
    lastInput = SentInput();
    if (!editor)
        return;
    const QTextCursor cursor = editor->textCursor();
    lastInput.editor = editor;
    lastInput.line = line;
    // A selection of whole lines ends with a line break but no further line.
    lastInput.lineCount =
        text.count(QLatin1Char('\n')) + (text.endsWith(QLatin1Char('\n')) ? 0 : 1);
    lastInput.selection = cursor.hasSelection();
    lastInput.cursorLine = line == cursor.blockNumber() + 1 && text == cursor.block().text();
    // A command sent before a Run that sent nothing (a NUL character in the text) must not pass
    // for that Run's input: only the text Run takes from this document counts.
    if (lastInput.selection) {
        QString selected = cursor.selectedText();
        selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        lastInput.runText = text == selected;
    } else {
        lastInput.runText = text.size() == editor->document()->characterCount() - 1 &&
                            text == editor->toPlainText();
    }
    lastInput.pending = true;
}

void EditorFeatures::confirmSent(bool run)
{
    // Only the input that the action itself has just sent counts.
    const SentInput input = lastInput;
    lastInput.pending = false;
    if (!input.pending || !input.editor || input.editor != currentEditor())
        return;
    SentRegion* region = SentRegion::of(input.editor);
    if (run && input.runText)
        region->markSent(input.line, input.line + input.lineCount - 1);
    else if (input.cursorLine)
        region->markSent(input.line);
}

void EditorFeatures::clearOtherRegions(CodeEditor* keep)
{
    for (CodeEditor* editor : tabs->findChildren<CodeEditor*>()) {
        if (editor != keep)
            SentRegion::of(editor)->clear();
    }
}

void EditorFeatures::appendOutput(const QString& text)
{
    // Through the Output dock's own appender when it has one, so the line keeps its place
    // among texts still waiting to be shown.
    if (auto* appender = output->findChild<OutputAppender*>())
        appender->append(text);
    else
        output->appendPlainText(text);
}

void EditorFeatures::runToCursor()
{
    if (CodeEditor* editor = currentEditor())
        stepper->runToCursor(editor);
}

void EditorFeatures::stepBack()
{
    CodeEditor* editor = currentEditor();
    if (!editor)
        return;
    // The memory is rebuilt from this document alone.
    clearOtherRegions(editor);
    const int replayed = stepper->stepBack(editor);
    if (replayed >= 0)
        appendOutput(
            tr("Memory rebuilt: cleared, and %1 of the sent lines sent again.").arg(replayed));
}
