#ifndef DOCUMENTWORDS_H
#define DOCUMENTWORDS_H

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class QTextDocument;

// The words of a document, for completion. Collecting them costs time in proportion to the
// document, so they are collected once and again only after the text has rested for a moment;
// in between, the list may miss what was typed since (the line being edited is read fresh by
// the completion itself).
class DocumentWords : public QObject {
    Q_OBJECT

public:
    explicit DocumentWords(QTextDocument* document);

    const QStringList& words();
    // Collects the words now.
    void refresh();

private:
    QPointer<QTextDocument> document;
    QStringList collected;
    bool collectedOnce = false;
    QTimer idle;
};

#endif
