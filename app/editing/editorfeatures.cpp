#include "editorfeatures.h"

#include "abbreviationexpander.h"
#include "codeeditor.h"
#include "completioncontroller.h"
#include "documenttabs.h"
#include "editorzoom.h"
#include "hovertips.h"
#include "keypadshortcut.h"
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

EditorFeatures::EditorFeatures(MainWindow* window, const EditingParts& parts)
    : QObject(window), window(window), parts(parts), editorZoom(new EditorZoom(this)),
      engineWords(new TermWords(parts.words)), engineCompounds(new TermWords(parts.compounds)),
      layout(new WindowLayout(window, parts.tabs, parts.findDock)),
      stepper(new SteppingController(this))
{
    setObjectName(QStringLiteral("editorFeatures"));
    layout->restore();
    createActions();

    // Everything Run to Cursor and Step Back send goes out as the window's own input.
    connect(stepper, &SteppingController::input, window, &MainWindow::input);
    connect(window, &MainWindow::input, this, &EditorFeatures::inputSent);
    connect(parts.stepForward, &QAction::triggered, this, [this] { confirmSent(false); });
    connect(parts.run, &QAction::triggered, this, [this] { confirmSent(true); });
    connect(parts.clearMemory, &QAction::triggered, this, [this] { clearOtherRegions(nullptr); });
    for (QAction* save : {parts.save, parts.saveAs, parts.saveAll})
        connect(save, &QAction::triggered, layout, &WindowLayout::updateTitle);

    // Escape puts the Find and Replace dock away while it has the focus.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), parts.findDock, nullptr, nullptr,
                                 Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        this->parts.findDock->close();
        if (CodeEditor* editor = currentEditor())
            editor->setFocus();
    });

    connect(parts.documents, &DocumentTabs::documentAdded, this, &EditorFeatures::attach);
    connect(parts.documents, &DocumentTabs::documentClosed, this,
            [this](CodeEditor* editor) { regions.remove(editor); });
    for (CodeEditor* editor : parts.documents->documents())
        attach(editor);
    layout->updateTitle();
}

CodeEditor* EditorFeatures::currentEditor() const
{
    return qobject_cast<CodeEditor*>(parts.tabs->currentWidget());
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
    for (QWidget* container :
         {static_cast<QWidget*>(parts.debugMenu), static_cast<QWidget*>(parts.debugToolBar)}) {
        QAction* separator = new QAction(container);
        separator->setSeparator(true);
        container->addActions({separator, runToCursor, stepBack});
    }

    // Zoom works wherever the focus is in the window; Ctrl+0 keeps typing ◊ in the editor, so
    // the unzoomed font comes back with Ctrl and the keypad's 0, with Num Lock on or off. The
    // Edit menu offers all three, for keyboards without a keypad.
    QAction* zoomIn = add("actionZoomIn", tr("Zoom In"), QString(),
                          {QKeySequence(tr("Ctrl+=")), QKeySequence(tr("Ctrl++"))});
    QAction* zoomOut =
        add("actionZoomOut", tr("Zoom Out"), QString(), {QKeySequence(tr("Ctrl+-"))});
    QAction* zoomReset = add("actionZoomReset", tr("Reset Zoom"), QString(),
                             {QKeySequence(Qt::CTRL | Qt::KeypadModifier | Qt::Key_0)});
    new KeypadShortcut(window, zoomReset, {Qt::Key_0, Qt::Key_Insert});
    connect(zoomIn, &QAction::triggered, editorZoom, &EditorZoom::zoomIn);
    connect(zoomOut, &QAction::triggered, editorZoom, &EditorZoom::zoomOut);
    connect(zoomReset, &QAction::triggered, editorZoom, &EditorZoom::reset);
    parts.editMenu->addSeparator();
    parts.editMenu->addActions({zoomIn, zoomOut, zoomReset});
}

void EditorFeatures::attach(CodeEditor* editor)
{
    // The completion's filter is installed last and so sees keys first: with its list open,
    // Tab and Enter choose from it.
    new AbbreviationExpander(editor);
    new CompletionController(editor, [this] {
        return QVector<const QStringList*>{&engineWords->terms(), &engineCompounds->terms()};
    });
    new HoverTips(editor, parts.errors, parts.statements);
    regions.insert(editor, new SentRegion(editor));
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
    SentRegion* region = sentRegion(input.editor);
    if (run && input.runText)
        region->markSent(input.line, input.line + input.lineCount - 1);
    else if (input.cursorLine)
        region->markSent(input.line);
}

void EditorFeatures::clearOtherRegions(CodeEditor* keep)
{
    for (CodeEditor* editor : parts.documents->documents()) {
        if (editor != keep)
            sentRegion(editor)->clear();
    }
}

void EditorFeatures::termTableShown(QTableWidget* table, const QVector<TermRecord>& records)
{
    if (table == parts.words)
        engineWords->received(records);
    else if (table == parts.compounds)
        engineCompounds->received(records);
}

void EditorFeatures::runToCursor()
{
    if (CodeEditor* editor = currentEditor())
        stepper->runToCursor(editor, sentRegion(editor));
}

void EditorFeatures::stepBack()
{
    CodeEditor* editor = currentEditor();
    if (!editor)
        return;
    // The memory is rebuilt from this document alone.
    clearOtherRegions(editor);
    const int replayed = stepper->stepBack(editor, sentRegion(editor));
    // Through the Output dock's appender, so the line keeps its place among texts still
    // waiting to be shown.
    if (replayed >= 0)
        parts.output->append(
            tr("Memory rebuilt: cleared, and %1 of the sent lines sent again.").arg(replayed));
}
