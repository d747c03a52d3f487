#include "findreplace.h"

#include "codeeditor.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QVector>

#include <algorithm>
#include <utility>

namespace {

QColor matchColour()
{
    return QColor(0xff, 0xef, 0x0b);
}

QTextEdit::ExtraSelection matchSelection(const QTextCursor& cursor)
{
    QTextEdit::ExtraSelection selection;
    selection.cursor = cursor;
    selection.format.setBackground(matchColour());
    return selection;
}

} // namespace

FindReplace::FindReplace(const FindReplaceControls& controls,
                         std::function<CodeEditor*()> currentEditor, QObject* parent)
    : QObject(parent), controls(controls), currentEditor(std::move(currentEditor))
{
}

void FindReplace::focusSearchField(bool visible)
{
    if (!visible)
        return;
    controls.dock->setFocus();
    controls.dock->raise();
    controls.dock->activateWindow();
    controls.dock->setWindowState(Qt::WindowActive);
    controls.dock->setFocus();
    controls.findText->setFocus();
}

void FindReplace::search()
{
    CodeEditor* editor = currentEditor();
    if (!editor)
        return;
    const QString text = controls.findText->text();
    const int origin = editor->textCursor().position();
    QTextDocument::FindFlags flags;
    if (controls.caseSensitive->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    if (controls.wholeWords->isChecked())
        flags |= QTextDocument::FindWholeWords;
    const bool backward = controls.backward->isChecked();
    if (backward)
        flags |= QTextDocument::FindBackward;

    matches.clear();
    // The document is searched directly rather than through the editor, which would scroll to
    // every match on the way; the cursor ends where stepping through the editor would leave it.
    // Inside an edit block (which changes nothing) the found cursors skip laying out their
    // lines, which would otherwise cost more than the search itself.
    QTextDocument* document = editor->document();
    QTextCursor cursor(document);
    cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    QTextCursor target;
    QTextCursor noLayout(document);
    noLayout.beginEditBlock();
    while (!text.isEmpty()) {
        const QTextCursor found = document->find(text, cursor, flags);
        if (found.isNull())
            break;
        cursor = found;
        matches.append(matchSelection(found));
        if (target.isNull() && (backward ? found.position() < origin : found.position() > origin))
            target = found;
    }
    noLayout.endEditBlock();
    editor->setTextCursor(target.isNull() ? cursor : target);
    showMatches(editor);
}

// The highlights of the matches. Only the matches in and around the visible part of the
// editor are installed as its extra selections, and the set follows scrolling for as long as
// the highlights are shown: installing tens of thousands of selections at once would lay out
// every line that holds one. What the user sees is the same as with all of them installed.
void FindReplace::showMatches(CodeEditor* editor)
{
    connect(editor, &QPlainTextEdit::updateRequest, this, &FindReplace::followMatches,
            Qt::UniqueConnection);
    // The visible lines and as many again above and below, so that small scrolls find their
    // highlights already in place.
    const QRect view = editor->viewport()->rect();
    QTextBlock top = editor->cursorForPosition(view.topLeft()).block();
    QTextBlock bottom = editor->cursorForPosition(view.bottomRight()).block();
    const int margin = bottom.blockNumber() - top.blockNumber() + 1;
    for (int i = 0; i < margin && top.previous().isValid(); ++i)
        top = top.previous();
    for (int i = 0; i < margin && bottom.next().isValid(); ++i)
        bottom = bottom.next();
    const int first = top.position();
    const int last = bottom.position() + bottom.length();
    QList<QTextEdit::ExtraSelection> visible;
    for (const QTextEdit::ExtraSelection& match : qAsConst(matches)) {
        if (match.cursor.document() == editor->document() && match.cursor.selectionEnd() >= first &&
            match.cursor.selectionStart() <= last)
            visible.append(match);
    }
    editor->setExtraSelections(visible);
    matchesShownIn = editor;
}

void FindReplace::followMatches(const QRect&, int dy)
{
    auto* editor = qobject_cast<CodeEditor*>(sender());
    if (dy == 0 || !editor || editor != matchesShownIn || matches.isEmpty())
        return;
    // The editor replaces the highlights with its own selections when the cursor moves; after
    // that there is nothing to follow.
    const QList<QTextEdit::ExtraSelection> shown = editor->extraSelections();
    if (!shown.isEmpty() && shown.first().format.background().color() != matchColour()) {
        matchesShownIn = nullptr;
        return;
    }
    showMatches(editor);
}

void FindReplace::find(bool next)
{
    CodeEditor* editor = currentEditor();
    if (matches.isEmpty() || !editor || matches.first().cursor.document() != editor->document())
        return;
    const int count = matches.size();
    const int position = editor->textCursor().position();
    int current = -1;
    for (int i = 0; i < count; ++i) {
        if (matches.at(i).cursor.position() == position) {
            current = i;
            break;
        }
    }

    // "Find next" moves on in document order, "Find previous" back, whatever the direction of
    // the search that filled the list.
    const bool backward = controls.backward->isChecked();
    int chosen;
    if (current >= 0) {
        const bool forwardInList = backward != next;
        chosen = forwardInList ? (current + 1) % count : (current + count - 1) % count;
    } else {
        // The cursor is not at the end of a match: go to the nearest match in the stepping
        // direction, wrapping around the document as usual.
        chosen = -1;
        for (int i = 0; i < count; ++i) {
            const QTextCursor& match = matches.at(i).cursor;
            if (next && match.selectionStart() >= position &&
                (chosen < 0 || match.selectionStart() < matches.at(chosen).cursor.selectionStart()))
                chosen = i;
            if (!next && match.position() <= position &&
                (chosen < 0 || match.position() > matches.at(chosen).cursor.position()))
                chosen = i;
        }
        if (chosen < 0) {
            // Wrap: the first match of the document going forward, the last going back.
            const bool firstInList = (next != backward);
            chosen = firstInList ? 0 : count - 1;
        }
    }
    editor->setTextCursor(matches.at(chosen).cursor);
    showMatches(editor);
}

void FindReplace::replace()
{
    CodeEditor* editor = currentEditor();
    if (!editor)
        return;
    QTextCursor cursor = editor->textCursor();
    cursor.insertText(controls.replaceText->text());
    const int position = cursor.position();
    for (int i = matches.size() - 1; i >= 0; --i) {
        if (matches.at(i).cursor.document() == editor->document() &&
            matches.at(i).cursor.position() == position)
            matches.removeAt(i);
    }
    showMatches(editor);
}

void FindReplace::replaceAll()
{
    if (matches.isEmpty())
        return;
    QTextDocument* document = matches.first().cursor.document();
    // What each match selects now, from the last to the first: replacing from the end leaves
    // the positions of the matches before it unchanged. The matches' own cursors are dropped
    // first, since the document would otherwise move every one of them at every replacement.
    QVector<QPair<int, int>> ranges;
    ranges.reserve(matches.size());
    for (const QTextEdit::ExtraSelection& match : qAsConst(matches)) {
        if (match.cursor.document() == document)
            ranges.append({match.cursor.selectionStart(), match.cursor.selectionEnd()});
    }
    matches.clear();
    if (!document)
        return;
    std::stable_sort(
        ranges.begin(), ranges.end(),
        [](const QPair<int, int>& a, const QPair<int, int>& b) { return a.first > b.first; });
    const QString replacement = controls.replaceText->text();
    // One edit block: a single undo step and a single re-layout for all replacements.
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const auto& range : qAsConst(ranges)) {
        cursor.setPosition(range.first);
        cursor.setPosition(range.second, QTextCursor::KeepAnchor);
        cursor.insertText(replacement);
    }
    cursor.endEditBlock();
}
