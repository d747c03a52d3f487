#include "termwords.h"

#include "statementtruths.h"

#include <QTableWidget>

TermWords::TermWords(QTableWidget* table) : QObject(table), table(table)
{
    const QAbstractItemModel* model = table->model();
    const auto markStale = [this] { stale = true; };
    connect(model, &QAbstractItemModel::modelReset, this, markStale);
    connect(model, &QAbstractItemModel::rowsInserted, this, markStale);
    connect(model, &QAbstractItemModel::rowsRemoved, this, markStale);
    connect(model, &QAbstractItemModel::dataChanged, this, markStale);
    connect(model, &QAbstractItemModel::layoutChanged, this, markStale);
}

const QStringList& TermWords::terms()
{
    if (stale) {
        collected = collect(table);
        stale = false;
    }
    return collected;
}

void TermWords::received(const QVector<TermRecord>& records)
{
    collected = StatementTruths::termsOf(records);
    stale = false;
}

QStringList TermWords::collect(const QTableWidget* table)
{
    QStringList terms;
    const int rows = table->rowCount();
    terms.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        if (const QTableWidgetItem* item = table->item(row, 1)) {
            const QString text = StatementTruths::withoutTruth(item->text());
            if (!text.isEmpty())
                terms.append(text);
        }
    }
    return terms;
}
