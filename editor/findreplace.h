#ifndef FINDREPLACE_H
#define FINDREPLACE_H

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTextEdit>

#include <functional>

class CodeEditor;
class QCheckBox;
class QDockWidget;
class QLineEdit;
class QRect;

// The controls of the Find and Replace dock.
struct FindReplaceControls {
    QDockWidget* dock;
    QLineEdit* findText;
    QLineEdit* replaceText;
    QCheckBox* caseSensitive;
    QCheckBox* wholeWords;
    QCheckBox* backward;
};

// Find and replace in the current document: a search highlights every match and selects the
// first one after the cursor; the find buttons step through the matches, wrapping around;
// Replace replaces the selection and drops its match; Replace All replaces every match of the
// last search, in the document where it was made.
class FindReplace : public QObject {
    Q_OBJECT

public:
    FindReplace(const FindReplaceControls& controls, std::function<CodeEditor*()> currentEditor,
                QObject* parent);

    void search();
    void find(bool next);
    void replace();
    void replaceAll();
    // Puts the keyboard focus into the search field when the dock has become visible.
    void focusSearchField(bool visible);

    const QList<QTextEdit::ExtraSelection>& currentMatches() const { return matches; }

private slots:
    void followMatches(const QRect& rect, int dy);

private:
    void showMatches(CodeEditor* editor);

    FindReplaceControls controls;
    std::function<CodeEditor*()> currentEditor;
    QList<QTextEdit::ExtraSelection> matches;
    QPointer<CodeEditor> matchesShownIn;
};

#endif
