#include "statementlocator.h"

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextBlock>

namespace {

QString withoutBlanks(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\s+")));
    return text;
}

} // namespace

StatementLocator::StatementLocator(QTabWidget* documents) : QObject(documents), documents(documents)
{
}

QString StatementLocator::statementOf(const QString& boxLine)
{
    static const QRegularExpression operationLine(QStringLiteral("^Level: \\d+ Op: "));
    static const QRegularExpression itemPrefix(QStringLiteral("^J\\d*:\\s*"));
    static const QRegularExpression nodeTail(QStringLiteral("\\s*\\[Level: [^\\]]*\\]\\s*$"));
    static const QRegularExpression truthTail(QStringLiteral("\\s*(%[^%]*%|\\{[^{}]*\\})\\s*$"));
    if (operationLine.match(boxLine).hasMatch())
        return QString();
    QString text = boxLine;
    text.remove(itemPrefix);
    text.remove(nodeTail);
    text.remove(truthTail);
    text = text.trimmed();
    while (text.endsWith(QLatin1Char('.')) || text.endsWith(QLatin1Char('?')) ||
           text.endsWith(QLatin1Char('!')))
        text.chop(1);
    return text.trimmed();
}

bool StatementLocator::states(const QString& line, const QString& statement)
{
    const QString wanted = withoutBlanks(statement);
    return !wanted.isEmpty() && withoutBlanks(line).contains(wanted);
}

bool StatementLocator::locate(const QString& boxLine)
{
    const QString statement = statementOf(boxLine);
    if (statement.isEmpty())
        return false;
    for (int index = 0; index < documents->count(); ++index) {
        auto* editor = qobject_cast<QPlainTextEdit*>(documents->widget(index));
        if (!editor)
            continue;
        for (QTextBlock block = editor->document()->begin(); block.isValid();
             block = block.next()) {
            if (!states(block.text(), statement))
                continue;
            QTextCursor cursor(block);
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            documents->setCurrentIndex(index);
            editor->setTextCursor(cursor);
            editor->centerCursor();
            return true;
        }
    }
    return false;
}
