#ifndef APPINFO_H
#define APPINFO_H

#include "quorversion.h"

#include <QString>

// The program's name and version.

// The organisation and application names, which also name the settings store.
inline constexpr char OrganizationName[] = "QuorStudio";
inline constexpr char ApplicationName[] = "QuorStudio";

// Sets organisation and application name and the version on the application object. Safe to
// call more than once.
void setApplicationIdentity();

// "QuorStudio version 0.5.1", the first line of the Output dock.
QString versionLine();

#endif
