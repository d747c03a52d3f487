#ifndef PRIVATEENVIRONMENT_H
#define PRIVATEENVIRONMENT_H

// The private environment of a test program, a benchmark or a fuzz target that makes program
// objects: the standard folders in Qt's test mode and a settings store in a temporary folder of
// its own, so that nothing reads or writes the user's settings, recovery copies or caches even
// when the program is run by hand rather than by ctest (which also gives every test its own HOME
// and XDG folders, see tests/CMakeLists.txt). Made first, before any settings store is opened: a
// member of the test class, or a static object of a benchmark's or fuzz target's set-up.

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

class PrivateEnvironment {
public:
    PrivateEnvironment()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setDefaultFormat(QSettings::NativeFormat);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    }

private:
    QTemporaryDir settings;
};

#endif
