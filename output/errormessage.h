#ifndef ERRORMESSAGE_H
#define ERRORMESSAGE_H

#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <optional>

// The engine's input errors ('e' messages) and the value each Error-list entry carries under
// Qt::UserRole.

struct ErrorListItem {
    int column = -1;
    int line = -1;
    QString fileName;
};

Q_DECLARE_METATYPE(ErrorListItem)

// Registers ErrorListItem under the name "ErrorListItem"; safe to call more than once.
void registerErrorListItem();

struct ErrorMessage {
    quint32 line = 0;
    quint32 column = 0;
    quint8 kind = 0;
    QString text; // trimmed
};

// An 'e' message: line and column at offsets 3 and 7, the mark kind at 11, the text from 12 to
// its NUL or the end. Empty when the message is shorter than the 12 fixed bytes.
std::optional<ErrorMessage> decodeErrorMessage(const char* data, std::size_t size);

// The entry value of an error found in the document `fileName`. Line and column above the
// largest int are held at that largest int, so they still lie beyond any document instead of
// turning negative.
ErrorListItem errorListItem(const ErrorMessage& error, const QString& fileName);

#endif
