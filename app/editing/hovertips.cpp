#include "hovertips.h"

#include "codeeditor.h"
#include "errormessage.h"
#include "statementtruths.h"
#include "wordcompletion.h"

#include <QHelpEvent>
#include <QListWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QToolTip>

namespace {

// Most error texts in one tip.
constexpr int MaxRows = 8;

} // namespace

HoverTips::HoverTips(CodeEditor* editor, QListWidget* errors, QTableWidget* statements)
    : QObject(editor), editor(editor), errors(errors), statements(statements)
{
    editor->viewport()->installEventFilter(this);
}

bool HoverTips::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = tipAt(editor->cursorForPosition(help->pos()).position());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        // As rich text made from the plain text, blanks kept: the engine's texts may look like
        // markup, which a tool tip would otherwise render.
        QToolTip::showText(
            help->globalPos(),
            QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>")
                .arg(tip.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>"))),
            editor->viewport());
    Q_UNUSED(watched)
    return true;
}

QString HoverTips::tipAt(int position) const
{
    const QTextBlock block = editor->document()->findBlock(position);
    if (!block.isValid())
        return QString();
    const QString errorText = errorTip(block.blockNumber() + 1);
    const QString statementText = statementTip(block.text(), position - block.position());
    if (errorText.isEmpty() || statementText.isEmpty())
        return errorText + statementText;
    return errorText + QLatin1Char('\n') + statementText;
}

QString HoverTips::errorTip(int line) const
{
    bool marked = false;
    int column = 0;
    for (const ErrorMark& mark : editor->marks()) {
        if (mark.line == line) {
            marked = true;
            column = mark.column;
        }
    }
    if (!marked)
        return QString();
    QStringList texts;
    for (int i = 0; errors && i < errors->count(); ++i) {
        const QListWidgetItem* item = errors->item(i);
        const QVariant data = item->data(Qt::UserRole);
        if (!data.canConvert<ErrorListItem>())
            continue;
        const ErrorListItem location = data.value<ErrorListItem>();
        if (location.line == line && location.fileName == editor->fileName)
            texts.append(
                tr("Line %1, column %2: %3").arg(line).arg(location.column).arg(item->text()));
    }
    if (texts.isEmpty())
        texts.append(tr("Line %1, column %2: error").arg(line).arg(column));
    return texts.mid(qMax(0, texts.size() - MaxRows)).join(QLatin1Char('\n'));
}

QString HoverTips::statementTip(const QString& text, int column) const
{
    if (!statements || statements->rowCount() == 0)
        return QString();
    QStringList rows;
    for (int row = 0; row < statements->rowCount(); ++row) {
        if (const QTableWidgetItem* item = statements->item(row, 1))
            rows.append(item->text());
    }
    const QString statement = StatementTruths::statementAround(text, column);
    if (!statement.isEmpty()) {
        const QStringList found = StatementTruths::truthsFor(statement, true, rows);
        if (!found.isEmpty())
            return found.join(QLatin1Char('\n'));
    }
    int start = 0;
    int end = column;
    while (end < text.size() && WordCompletion::isWordCharacter(text.at(end)))
        ++end;
    const QString word = WordCompletion::wordBefore(text, end, &start);
    if (word.isEmpty() || start > column)
        return QString();
    return StatementTruths::truthsFor(word, false, rows).join(QLatin1Char('\n'));
}
