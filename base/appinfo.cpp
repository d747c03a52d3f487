#include "appinfo.h"

#include <QCoreApplication>

void setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QString::fromLatin1(OrganizationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(ApplicationName));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUOR_VERSION));
}

QString versionLine()
{
    return QStringLiteral("QuorStudio version " QUOR_VERSION);
}
