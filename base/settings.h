#ifndef SETTINGS_H
#define SETTINGS_H

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

// Every setting the program keeps between runs, each declared once with its key, its type and
// its value when the store does not hold it, and the one way the store is opened. The store is
// the user's settings of organisation and application "QuorStudio" in the platform's native
// format (~/.config/QuorStudio/QuorStudio.conf on Linux); the keys and the form of their values
// are those of every earlier version, so a stored file keeps working.
template <typename T> struct Setting {
    const char* key;
    T fallback;
};

namespace Settings {

// The folder shown in the Current Folder dock; empty: the process's current folder.
inline const Setting<QString> CurrentPath{"currentPath", QString()};
// The options of the Debug menu; each fallback is the state the form gives its action.
inline const Setting<bool> Time{"time", true};
inline const Setting<bool> InternalQuestions{"internalQuestions", false};
inline const Setting<bool> Debug{"debug", false};
// Full paths, most recent first.
inline const Setting<QStringList> RecentFileList{"recentFileList", QStringList()};
// Points added to the editor's font size.
inline const Setting<int> EditorZoom{"editorZoom", 0};
// The window's size and place, and its docks and toolbars (QMainWindow's own formats).
inline const Setting<QByteArray> WindowGeometry{"windowGeometry", QByteArray()};
inline const Setting<QByteArray> WindowState{"windowState", QByteArray()};
inline const Setting<bool> QueueInputsWhileBusy{"queueInputsWhileBusy", false};
// The engine in a process of its own (Engine > Run Engine in Separate Process).
inline const Setting<bool> EngineInSeparateProcess{"engineInSeparateProcess", false};
// Recovery copies of unsaved documents.
inline const Setting<bool> Recovery{"recovery", true};
// Lines the Output dock keeps; 0 (or not a positive number): all of them.
inline const Setting<int> OutputScrollbackLines{"outputScrollbackLines", 0};

} // namespace Settings

// The program's settings store, opened for one operation and closed (written) when it goes.
// Every read and write of a setting goes through one of these.
class SettingsStore {
public:
    SettingsStore();

    template <typename T> T value(const Setting<T>& setting) const
    {
        return value(setting, setting.fallback);
    }
    // With a fallback known only when it is read.
    template <typename T> T value(const Setting<T>& setting, const T& fallback) const
    {
        return store.value(QLatin1String(setting.key), QVariant::fromValue(fallback))
            .template value<T>();
    }
    template <typename T> void setValue(const Setting<T>& setting, const T& value)
    {
        store.setValue(QLatin1String(setting.key), QVariant::fromValue(value));
    }

private:
    QSettings store;
};

#endif
