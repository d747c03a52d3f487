#include "messages.h"

#include "messagereader.h"

MessageKind messageKind(const char* data, std::size_t size)
{
    if (!data || size < 2 || data[0] != '<')
        return MessageKind::Plain;
    switch (data[1]) {
    case 'c':
        return MessageKind::Compounds;
    case 'e':
        return MessageKind::Error;
    case 'i':
        return MessageKind::InternalQuestion;
    case 'm':
        return MessageKind::Memory;
    case 'n':
        return MessageKind::Inference;
    case 'q':
        return MessageKind::Question;
    case 's':
        return MessageKind::Statements;
    case 't':
        return MessageKind::Time;
    case 'v':
        return MessageKind::Version;
    case 'w':
        return MessageKind::Words;
    default:
        return MessageKind::Unassigned;
    }
}

QString messageText(const char* data, std::size_t size, std::size_t offset)
{
    // Decoded straight from the message's bytes: this runs for every line of a flood of output.
    return QString::fromUtf8(MessageReader::textFieldView(data, size, offset));
}

std::optional<ElapsedTime> decodeElapsedTime(const char* data, std::size_t size)
{
    MessageReader reader(data, size, 3);
    ElapsedTime time;
    if (size < 3 || !reader.readU32(time.microseconds) || !reader.readU32(time.cycles))
        return std::nullopt;
    return time;
}

QString elapsedTimeLine(const ElapsedTime& time)
{
    return QStringLiteral("Elapsed time %1 \u03bcs (%2 cycles)")
        .arg(time.microseconds)
        .arg(time.cycles);
}

QString decodeLibraryVersion(const char* data, std::size_t size)
{
    QString text = messageText(data, size, 3);
    const int mark = text.indexOf(QLatin1Char('>'));
    if (mark >= 0)
        text = text.mid(mark);
    return text.trimmed();
}

QString libraryVersionLine(const QString& version)
{
    return QStringLiteral("QUOR library version ") + version;
}
