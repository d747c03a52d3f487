#ifndef TERMTABLEFILLER_H
#define TERMTABLEFILLER_H

#include "termtable.h"

class QTableWidget;

// Replaces the table's rows by one row per record (id text, name), each 20 pixels high, then
// sorts by name ascending with sorting left on and sizes the columns to their contents.
void fillTermTable(QTableWidget* table, const QVector<TermRecord>& records);

#endif
