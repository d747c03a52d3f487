#include "filenames.h"

#include <QCoreApplication>
#include <QFileInfo>

QString documentFileFilter()
{
    return QCoreApplication::translate(
        "MainWindow", "Vel Files (*.quor *.qrs *.txt);;Text Files (*.txt);;All Files (*.*)");
}

QString withDocumentSuffix(const QString& fileName)
{
    for (const char* suffix : {".quor", ".qrs", ".txt"}) {
        if (fileName.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return fileName;
    }
    return fileName + QStringLiteral(".quor");
}

QString withSvgSuffix(const QString& fileName)
{
    if (fileName.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        return fileName;
    return fileName + QStringLiteral(".svg");
}

QString withPdfSuffix(const QString& fileName)
{
    if (QFileInfo(fileName).suffix().isEmpty())
        return fileName + QStringLiteral(".pdf");
    return fileName;
}
