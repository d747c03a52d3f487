#include "steppingcontroller.h"

#include "codeeditor.h"
#include "sentregion.h"

#include <QTextBlock>

int SteppingController::runToCursor(CodeEditor* editor, SentRegion* region)
{
    QTextCursor cursor = editor->textCursor();
    const int target = cursor.blockNumber() + 1;
    int sent = 0;
    for (QTextBlock block = editor->document()->firstBlock();
         block.isValid() && block.blockNumber() < target; block = block.next()) {
        const int line = block.blockNumber() + 1;
        if (region->isSent(line))
            continue;
        editor->removeErrorMarks(line);
        emit input(block.text(), line);
        region->markSent(line);
        ++sent;
    }
    if (cursor.movePosition(QTextCursor::NextBlock))
        editor->setTextCursor(cursor);
    return sent;
}

int SteppingController::stepBack(CodeEditor* editor, SentRegion* region)
{
    if (region->isEmpty())
        return -1;
    const QVector<int> lines = region->lines();
    const int takenBack = lines.last();
    QTextDocument* document = editor->document();

    editor->clearErrorMarks();
    region->clear();
    emit input(QStringLiteral("\u22d9 clear"), 1);
    for (int i = 0; i + 1 < lines.size(); ++i) {
        const QTextBlock block = document->findBlockByNumber(lines.at(i) - 1);
        if (!block.isValid())
            continue;
        emit input(block.text(), lines.at(i));
        region->markSent(lines.at(i));
    }
    const QTextBlock back = document->findBlockByNumber(takenBack - 1);
    if (back.isValid())
        editor->setTextCursor(QTextCursor(back));
    return lines.size() - 1;
}
