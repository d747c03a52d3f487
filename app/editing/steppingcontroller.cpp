#include "steppingcontroller.h"

#include "codeeditor.h"
#include "editorinput.h"
#include "nulguard.h"
#include "sentregion.h"

#include <QTextBlock>
#include <QVector>

namespace {

EditorInput lineInput(const QTextBlock& block)
{
    return {block.text(), block.blockNumber() + 1, block.position()};
}

// True when one of the lines holds a NUL character: then none of them is sent.
bool refuseAny(CodeEditor* editor, const QVector<QTextBlock>& blocks)
{
    for (const QTextBlock& block : blocks) {
        if (refuseNulCharacter(*editor, lineInput(block)))
            return true;
    }
    return false;
}

} // namespace

int SteppingController::runToCursor(CodeEditor* editor, SentRegion* region)
{
    QTextCursor cursor = editor->textCursor();
    const int target = cursor.blockNumber() + 1;
    QVector<QTextBlock> pending;
    for (QTextBlock block = editor->document()->firstBlock();
         block.isValid() && block.blockNumber() < target; block = block.next()) {
        if (!region->isSent(block.blockNumber() + 1))
            pending.append(block);
    }
    if (refuseAny(editor, pending))
        return 0;
    for (const QTextBlock& block : pending) {
        const EditorInput line = lineInput(block);
        editor->removeErrorMarks(line.line);
        emit input(line.text, line.line);
        region->markSent(line.line);
    }
    if (cursor.movePosition(QTextCursor::NextBlock))
        editor->setTextCursor(cursor);
    return pending.size();
}

int SteppingController::stepBack(CodeEditor* editor, SentRegion* region)
{
    if (region->isEmpty())
        return -1;
    const QVector<int> lines = region->lines();
    const int takenBack = lines.last();
    QTextDocument* document = editor->document();
    QVector<QTextBlock> again;
    for (int i = 0; i + 1 < lines.size(); ++i) {
        const QTextBlock block = document->findBlockByNumber(lines.at(i) - 1);
        if (block.isValid())
            again.append(block);
    }
    if (refuseAny(editor, again))
        return -1;

    editor->clearErrorMarks();
    region->clear();
    emit input(QStringLiteral("\u22d9 clear"), 1);
    for (const QTextBlock& block : again) {
        const EditorInput line = lineInput(block);
        emit input(line.text, line.line);
        region->markSent(line.line);
    }
    const QTextBlock back = document->findBlockByNumber(takenBack - 1);
    if (back.isValid())
        editor->setTextCursor(QTextCursor(back));
    return lines.size() - 1;
}
