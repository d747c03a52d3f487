#ifndef ABBREVIATIONEXPANDER_H
#define ABBREVIATIONEXPANDER_H

#include <QObject>

class QPlainTextEdit;
class QTextBlock;
struct AbbreviationMatch;

// Turns backslash sequences typed in an editor into their symbols (see Abbreviations): when a
// character follows that ends the sequence, at once for a finished symbol sequence (\->), or
// on Tab. The character is typed first and the replacement is a step of its own, so one Undo
// brings back the sequence as it was typed.
class AbbreviationExpander : public QObject {
    Q_OBJECT

public:
    explicit AbbreviationExpander(QPlainTextEdit* editor);

    // Replaces the sequence that ends at the cursor by its symbol; false when there is none.
    bool expandAtCursor();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool replace(const QTextBlock& block, const AbbreviationMatch& match);

    QPlainTextEdit* editor;
    bool forwarding = false;
};

#endif
