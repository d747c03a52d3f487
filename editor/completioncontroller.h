#ifndef COMPLETIONCONTROLLER_H
#define COMPLETIONCONTROLLER_H

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVector>

#include <functional>

class DocumentWords;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;

// The completion popup of one editor. After a backslash it lists the abbreviations with their
// symbols, the one that is exactly what was typed chosen; after two letters of a word, the words
// offered by the sources (the engine's words and compound terms) and the document's own words.
// Typing on filters the list, Up and Down choose, Enter or Tab accepts, Escape closes. It never
// opens over a selection.
class CompletionController : public QObject {
    Q_OBJECT

public:
    using Sources = std::function<QVector<const QStringList*>()>;
    enum { MaxEntries = 50 };

    CompletionController(QPlainTextEdit* editor, Sources sources);

    bool isVisible() const;
    QStringList entries() const; // as shown
    // Looks at the text before the cursor and opens, updates or closes the popup.
    void update();
    // Puts the chosen entry (or the current one) in place of what was typed.
    void accept(QListWidgetItem* item = nullptr);
    void close();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // `chosen` is the row that starts out current.
    void show(const QStringList& texts, const QStringList& insertions, int chosen = 0);

    QPlainTextEdit* editor;
    Sources sources;
    DocumentWords* documentWords;
    QPointer<QListWidget> popup; // a child of the editor, gone before the editor is
    QWidget* viewport;           // the editor's viewport, compared only, never called
    int replaceFrom = -1;        // document position where the typed prefix starts
    bool keyTyped = false;
};

#endif
