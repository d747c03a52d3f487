#include "tablecontextmenu.h"

#include "csv.h"
#include "dialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QTableWidget>

TableContextMenu::TableContextMenu(QTableWidget* table) : QObject(table), table(table)
{
    copy = new QAction(QIcon(QStringLiteral(":/resources/copy.png")), tr("&Copy"), this);
    copy->setObjectName(QStringLiteral("actionCopyRows"));
    copy->setStatusTip(tr("Copy the selected rows as tab-separated text"));
    exportCsv = new QAction(tr("&Export CSV..."), this);
    exportCsv->setObjectName(QStringLiteral("actionExportCsv"));
    exportCsv->setStatusTip(tr("Write the table to a CSV file"));
    // Ctrl+C in the table copies its rows, not the document's selection.
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    table->addAction(copy);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, &TableContextMenu::showMenu);
    connect(copy, &QAction::triggered, this, &TableContextMenu::copySelectedRows);
    connect(exportCsv, &QAction::triggered, this, &TableContextMenu::exportToCsv);
}

QStringList TableContextMenu::header(const QTableWidget* table)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column) {
        const QTableWidgetItem* item = table->horizontalHeaderItem(column);
        texts.append(item ? item->text() : QString::number(column + 1));
    }
    return texts;
}

QList<QStringList> TableContextMenu::rows(const QTableWidget* table, bool selectedOnly)
{
    QSet<int> selected;
    if (selectedOnly) {
        for (const QTableWidgetSelectionRange& range : table->selectedRanges())
            for (int row = range.topRow(); row <= range.bottomRow(); ++row)
                selected.insert(row);
    }
    QList<QStringList> result;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (selectedOnly && !selected.contains(row))
            continue;
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column) {
            const QTableWidgetItem* item = table->item(row, column);
            cells.append(item ? item->text() : QString());
        }
        result.append(cells);
    }
    return result;
}

QString TableContextMenu::tabSeparated(const QList<QStringList>& rows)
{
    static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]"));
    QString text;
    for (QStringList cells : rows) {
        for (QString& cell : cells)
            cell.replace(breaks, QStringLiteral(" "));
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

void TableContextMenu::copySelectedRows()
{
    const QList<QStringList> selected = rows(table, true);
    if (!selected.isEmpty())
        QApplication::clipboard()->setText(tabSeparated(selected));
}

bool TableContextMenu::exportToCsv()
{
    QString name = Dialogs::getSaveFileName(table, tr("Export CSV..."), QString(),
                                            tr("CSV Files (*.csv);;All Files (*.*)"));
    if (name.isEmpty())
        return false;
    if (QFileInfo(name).suffix().isEmpty())
        name += QLatin1String(".csv");
    return Dialogs::writeFileOrWarn(table, name,
                                    Csv::table(header(table), rows(table, false)).toUtf8());
}

void TableContextMenu::showMenu(const QPoint& position)
{
    copy->setEnabled(!table->selectedRanges().isEmpty());
    QMenu menu(table);
    menu.addAction(copy);
    menu.addAction(exportCsv);
    menu.exec(table->viewport()->mapToGlobal(position));
    copy->setEnabled(true); // its key stays live; with nothing selected it copies nothing
}
