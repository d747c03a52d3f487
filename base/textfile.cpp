#include "textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

namespace {

// Read in pieces of this size, so that a file that grows while it is read is caught at the
// limit instead of being read whole.
const qint64 Piece = qint64(4) * 1024 * 1024;

} // namespace

TextFile readTextFile(const QString& path, qint64 limit)
{
    TextFile result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.status = TextFile::Missing;
        return result;
    }
    if (!info.isFile()) {
        result.status = TextFile::NotRegular;
        return result;
    }
    if (info.size() > limit) {
        result.status = TextFile::TooLarge;
        return result;
    }
    QFile file(path);
    if (!file.open(QFile::ReadOnly | QFile::Text)) {
        result.status = TextFile::Unreadable;
        result.reason = file.errorString();
        return result;
    }
    QByteArray bytes;
    bytes.reserve(int(info.size()));
    for (;;) {
        const int had = bytes.size();
        const qint64 wanted = qMin(Piece, limit + 1 - had);
        bytes.resize(had + int(wanted));
        const qint64 got = file.read(bytes.data() + had, wanted);
        if (got < 0 || file.error() != QFile::NoError) {
            result.status = TextFile::Unreadable;
            result.reason = file.errorString();
            return result;
        }
        bytes.resize(had + int(got));
        if (bytes.size() > limit) {
            result.status = TextFile::TooLarge;
            return result;
        }
        if (got == 0)
            break; // the end of the file
    }
    QTextCodec::ConverterState state;
    result.text =
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    // A sequence cut off at the end of the file is held back by the decoder, not counted.
    result.lossy = state.invalidChars > 0 || state.remainingChars > 0;
    return result;
}

std::optional<TextPlace> firstNulCharacter(const QString& text)
{
    const int at = text.indexOf(QChar(0));
    if (at < 0)
        return std::nullopt;
    const int lineStart = text.lastIndexOf(QLatin1Char('\n'), at) + 1;
    return TextPlace{int(text.leftRef(at).count(QLatin1Char('\n'))) + 1, at - lineStart + 1};
}
