#include "inputfile.h"

#include "textfile.h"

bool InputFile::read(const QString& name, QString* error)
{
    fileName = name;
    content.clear();
    TextFile file = readTextFile(name);
    switch (file.status) {
    case TextFile::Read:
        break;
    case TextFile::Missing:
        *error =
            QStringLiteral("quorstudio-run: cannot read %1: No such file or directory").arg(name);
        return false;
    case TextFile::NotRegular:
        *error = QStringLiteral("quorstudio-run: cannot read %1: Not a regular file").arg(name);
        return false;
    case TextFile::Unreadable:
        *error = QStringLiteral("quorstudio-run: cannot read %1: %2").arg(name, file.reason);
        return false;
    case TextFile::TooLarge:
        *error = QStringLiteral("%1: error: file larger than %2 MiB, the most quorstudio-run reads")
                     .arg(name)
                     .arg(MaxTextFileBytes / (1024 * 1024));
        return false;
    }
    if (file.lossy) {
        *error =
            QStringLiteral("quorstudio-run: %1 is not valid UTF-8 text; it was not sent to the "
                           "engine")
                .arg(name);
        return false;
    }
    // The engine takes its input as a C string and would never see what follows a NUL.
    if (const auto nul = firstNulCharacter(file.text)) {
        *error = QStringLiteral("%1:%2:%3: error: NUL character")
                     .arg(name)
                     .arg(nul->line)
                     .arg(nul->column);
        return false;
    }
    content = std::move(file.text);
    return true;
}
