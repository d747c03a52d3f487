#ifndef HOVERTIPS_H
#define HOVERTIPS_H

#include <QObject>
#include <QString>
#include <QStringList>

class CodeEditor;
class QListWidget;
class QTableWidget;

// Tool tips over an editor's text: over an underlined line, the engine's messages for that
// line with their line and column (from the Error dock); over a statement or a word that the
// last Statements table holds, the truth values it lists.
class HoverTips : public QObject {
    Q_OBJECT

public:
    HoverTips(CodeEditor* editor, QListWidget* errors, QTableWidget* statements);

    // The tip for a character of the document, empty when there is none.
    QString tipAt(int position) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString errorTip(int line) const;
    QString statementTip(const QString& text, int column) const;

    CodeEditor* editor;
    QListWidget* errors;
    QTableWidget* statements;
};

#endif
