#ifndef APPINFO_H
#define APPINFO_H

#include "quorversion.h"

#include <QString>

// The program's name and version. The names are set once on the application object, so every
// default-constructed QSettings opens the program's own store.

// Sets organisation and application name ("QuorStudio") and the version on the application
// object. Safe to call more than once.
void setApplicationIdentity();

// "QuorStudio version 0.5.1", the first line of the Output dock.
QString versionLine();

#endif
