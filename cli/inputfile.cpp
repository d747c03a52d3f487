#include "inputfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

bool InputFile::read(const QString& name, QString* error)
{
    fileName = name;
    content.clear();
    const QFileInfo info(name);
    if (!info.exists()) {
        *error = QStringLiteral("cannot read %1: No such file or directory").arg(name);
        return false;
    }
    // Only regular files: a device or a pipe could block or never end.
    if (!info.isFile()) {
        *error = QStringLiteral("cannot read %1: Not a regular file").arg(name);
        return false;
    }
    QFile file(name);
    QByteArray bytes;
    if (file.open(QFile::ReadOnly | QFile::Text))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFile::NoError) {
        *error = QStringLiteral("cannot read %1: %2").arg(name, file.errorString());
        return false;
    }
    QTextCodec::ConverterState state;
    content = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    // A sequence cut off at the end of the file is held back by the decoder, not counted.
    if (state.invalidChars > 0 || state.remainingChars > 0) {
        content.clear();
        *error =
            QStringLiteral("%1 is not valid UTF-8 text; it was not sent to the engine").arg(name);
        return false;
    }
    return true;
}
