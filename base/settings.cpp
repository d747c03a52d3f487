#include "settings.h"

#include "appinfo.h"

SettingsStore::SettingsStore()
    : store(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(OrganizationName),
            QString::fromLatin1(ApplicationName))
{
}
