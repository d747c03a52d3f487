#include "appinfo.h"

#include <QCoreApplication>

void setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("QuorStudio"));
    QCoreApplication::setApplicationName(QStringLiteral("QuorStudio"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUOR_VERSION));
}

QString versionLine()
{
    return QStringLiteral("QuorStudio version " QUOR_VERSION);
}
