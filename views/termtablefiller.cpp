#include "termtablefiller.h"

#include <QHeaderView>
#include <QTableWidget>

namespace {

constexpr int rowHeight = 20;

} // namespace

void fillTermTable(QTableWidget* table, const QVector<TermRecord>& records)
{
    table->setSortingEnabled(false);
    table->setRowCount(0);
    // The header's minimum grows with the font and would hold rows above 20 pixels.
    QHeaderView* rows = table->verticalHeader();
    if (rows->minimumSectionSize() > rowHeight)
        rows->setMinimumSectionSize(rowHeight);
    // With sorting off every row lands at the end, so the rows are made in one step rather than
    // inserted one by one.
    table->setRowCount(records.size());
    for (int row = 0; row < records.size(); ++row) {
        const TermRecord& record = records.at(row);
        table->setRowHeight(row, rowHeight);
        table->setItem(row, 0, new QTableWidgetItem(termIdText(record.id)));
        table->setItem(row, 1, new QTableWidgetItem(record.name));
    }
    // Enabling sorting sorts by the header's indicator, so point it at the names first and the
    // table is sorted once.
    table->horizontalHeader()->setSortIndicator(1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->sortByColumn(1, Qt::AscendingOrder);
    table->resizeColumnsToContents();
}
