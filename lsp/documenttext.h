#ifndef DOCUMENTTEXT_H
#define DOCUMENTTEXT_H

#include <QJsonObject>
#include <QString>
#include <QStringRef>
#include <QVector>

// How positions count characters within a line: UTF-16 code units (the protocol's default) or
// UTF-8 bytes.
enum class PositionEncoding { Utf16, Utf8 };

// A position as the client gives it: 0-based line and character in the encoding's units.
struct TextPosition {
    int line = 0;
    int character = 0;
    bool operator==(const TextPosition& other) const
    {
        return line == other.line && character == other.character;
    }
};

// The text of one open document with the start of each line, for turning positions into offsets
// and back. Lines end at "\r\n", "\n" or "\r"; offsets count UTF-16 code units of the text.
class DocumentText {
public:
    DocumentText() { setText(QString()); }
    explicit DocumentText(const QString& text) { setText(text); }

    const QString& text() const { return content; }
    void setText(const QString& text);
    // Replaces the text between two offsets (in either order, held inside the text).
    void replace(int from, int to, const QString& with);

    int lineCount() const { return starts.size(); }
    int lineStart(int line) const { return starts.at(line); }
    // Without the line end.
    int lineLength(int line) const;
    QStringRef line(int line) const { return content.midRef(lineStart(line), lineLength(line)); }
    int lineOf(int offset) const;

    // The offset of a position. A character beyond the line's end means its end (so does a line
    // beyond the last: the end of the text); a position inside a character (between the halves
    // of a surrogate pair, or inside a UTF-8 sequence) means the start of that character.
    int offsetAt(TextPosition position, PositionEncoding encoding) const;
    TextPosition positionAt(int offset, PositionEncoding encoding) const;
    // The protocol's range object ({"start", "end"}, each {"line", "character"}) for the UTF-16
    // columns `start` to `end` of a line, in the encoding's units.
    QJsonObject protocolRange(int line, int start, int end, PositionEncoding encoding) const;

    // The UTF-16 index within `line` of `units` units from its start (held to the line), and
    // the units of its first `column` UTF-16 code units.
    static int columnOf(QStringRef line, int units, PositionEncoding encoding);
    static int unitsOf(QStringRef line, int column, PositionEncoding encoding);

    // The text as the engine reads it: every line end a "\n", so that its line numbers are the
    // client's; a NUL, which would end the engine's input, as U+FFFD.
    QString engineText() const;

private:
    QString content;
    QVector<int> starts;
};

#endif
