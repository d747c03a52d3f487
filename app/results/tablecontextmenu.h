#ifndef TABLECONTEXTMENU_H
#define TABLECONTEXTMENU_H

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QPoint;
class QTableWidget;

// The context menu of a term table: Copy puts the selected rows on the clipboard as
// tab-separated text, Export CSV... writes the whole table (header first) to a file.
class TableContextMenu : public QObject {
    Q_OBJECT

public:
    explicit TableContextMenu(QTableWidget* table);

    QAction* copyAction() const { return copy; }
    QAction* exportAction() const { return exportCsv; }

    // The header texts and the rows' cell texts, in the order the table shows them.
    static QStringList header(const QTableWidget* table);
    static QList<QStringList> rows(const QTableWidget* table, bool selectedOnly);
    // Rows as tab-separated lines, each ending in a line feed. Tabs and line breaks inside a
    // cell become blanks, so every row stays one line of fields.
    static QString tabSeparated(const QList<QStringList>& rows);

public slots:
    void copySelectedRows();
    bool exportToCsv();

private slots:
    void showMenu(const QPoint& position);

private:
    QTableWidget* table;
    QAction* copy;
    QAction* exportCsv;
};

#endif
