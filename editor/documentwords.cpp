#include "documentwords.h"

#include "wordcompletion.h"

#include <QTextDocument>

namespace {

constexpr int RestMs = 400;

} // namespace

DocumentWords::DocumentWords(QTextDocument* document) : QObject(document), document(document)
{
    idle.setSingleShot(true);
    idle.setInterval(RestMs);
    connect(&idle, &QTimer::timeout, this, &DocumentWords::refresh);
    // Nothing is collected for a document whose completion has never been asked for.
    connect(document, &QTextDocument::contentsChanged, this, [this] {
        if (collectedOnce)
            idle.start();
    });
}

const QStringList& DocumentWords::words()
{
    if (!collectedOnce)
        refresh();
    return collected;
}

void DocumentWords::refresh()
{
    idle.stop();
    collectedOnce = true;
    collected = document ? WordCompletion::wordsOf(document->toRawText()) : QStringList();
}
