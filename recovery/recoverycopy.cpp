#include "recoverycopy.h"

#include <QList>

namespace {

const QByteArray Magic = "QuorStudio recovery copy 1\n";
const QByteArray FileKey = "file ";
const QByteArray TimeKey = "time ";
const QByteArray CursorKey = "cursor ";
const QByteArray SizeKey = "size ";

} // namespace

bool RecoveryCopy::operator==(const RecoveryCopy& other) const
{
    return fileName == other.fileName && time == other.time && cursor == other.cursor &&
           text == other.text;
}

QByteArray encodeRecoveryHeader(const RecoveryCopy& copy, qint64 textBytes)
{
    return Magic + FileKey + copy.fileName.toUtf8().toPercentEncoding(" /") + '\n' + TimeKey +
           copy.time.toUTC().toString(Qt::ISODateWithMs).toLatin1() + '\n' + CursorKey +
           QByteArray::number(copy.cursor) + '\n' + SizeKey + QByteArray::number(textBytes) +
           "\n\n";
}

QByteArray encodeRecoveryCopy(const RecoveryCopy& copy)
{
    const QByteArray text = copy.text.toUtf8();
    return encodeRecoveryHeader(copy, text.size()) + text;
}

std::optional<RecoveryCopy> decodeRecoveryCopy(const QByteArray& bytes)
{
    if (!bytes.startsWith(Magic))
        return std::nullopt;
    const int end = bytes.indexOf("\n\n", Magic.size());
    if (end < 0)
        return std::nullopt;
    const QList<QByteArray> lines = bytes.mid(Magic.size(), end - Magic.size()).split('\n');
    // Copies written before the size line was added have three lines.
    if (lines.size() < 3 || lines.size() > 4 || !lines[0].startsWith(FileKey) ||
        !lines[1].startsWith(TimeKey) || !lines[2].startsWith(CursorKey))
        return std::nullopt;
    const qint64 textBytes = bytes.size() - end - 2;
    if (lines.size() == 4) {
        bool ok = false;
        if (!lines[3].startsWith(SizeKey) ||
            lines[3].mid(SizeKey.size()).toLongLong(&ok) != textBytes || !ok)
            return std::nullopt; // cut short, or grown
    }
    RecoveryCopy copy;
    copy.fileName =
        QString::fromUtf8(QByteArray::fromPercentEncoding(lines[0].mid(FileKey.size())));
    copy.time =
        QDateTime::fromString(QString::fromLatin1(lines[1].mid(TimeKey.size())), Qt::ISODateWithMs);
    bool ok = false;
    copy.cursor = lines[2].mid(CursorKey.size()).toInt(&ok);
    if (copy.fileName.isEmpty() || !copy.time.isValid() || !ok || copy.cursor < 0)
        return std::nullopt;
    copy.text = QString::fromUtf8(bytes.constData() + end + 2, bytes.size() - end - 2);
    return copy;
}

QString firstLine(const QString& text)
{
    for (const QStringRef& line : text.splitRef(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            return line.trimmed().toString();
    }
    return QString();
}
