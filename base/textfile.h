#ifndef TEXTFILE_H
#define TEXTFILE_H

#include <QString>

#include <optional>

// Reading a document or an input file whole, as UTF-8 text. The window opens documents and
// quorstudio-run reads its input files through this one reader, so both refuse the same files.

// The largest file read, in bytes (256 MiB). Larger files are refused before a byte is read:
// their text would not fit the editor, nor the memory the conversion to UTF-16 takes.
inline constexpr qint64 MaxTextFileBytes = qint64(256) * 1024 * 1024;

struct TextFile {
    enum Status {
        Read,       // `text` holds every byte of the file
        Missing,    // there is no file of that name
        NotRegular, // a folder, a device or a pipe: never read, it could block or never end
        TooLarge,   // larger than the limit, before or while it was read
        Unreadable, // opening or reading failed; `reason` says why
    };
    Status status = Read;
    QString text;
    // Bytes that are not valid UTF-8 (or a sequence cut off at the end) were replaced.
    bool lossy = false;
    QString reason;
};

// Reads the file at `path` as one text. A file that grows past `limit` while it is read is
// refused too: the text is always the file's whole content up to its end, never a part of it.
TextFile readTextFile(const QString& path, qint64 limit = MaxTextFileBytes);

// A place in a text: 1-based line and column, the column counted in UTF-16 code units as the
// editor counts it.
struct TextPlace {
    int line = 1;
    int column = 1;
    bool operator==(const TextPlace& other) const
    {
        return line == other.line && column == other.column;
    }
};

// Where the first NUL character of `text` is. The engine takes its input as a C string, so
// everything from a NUL on would never reach it.
std::optional<TextPlace> firstNulCharacter(const QString& text);

#endif
