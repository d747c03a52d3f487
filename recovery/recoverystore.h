#ifndef RECOVERYSTORE_H
#define RECOVERYSTORE_H

#include "recoverycopy.h"

#include <QList>
#include <QString>

#include <memory>
#include <set>
#include <vector>

class QLockFile;

// The recovery folder on disk. Each running instance has an identity of its own; its copies are
// named "<identity>.<serial>.recovery" and it holds "<identity>.lock" (a QLockFile) from its
// first copy on. Copies whose lock nobody holds were left by an instance that ended without
// removing them (a crash, a kill, a power cut) and can be adopted by the next one. The folder is
// its owner's alone (0700, copies and locks 0600), whatever the umask.
class RecoveryStore {
public:
    explicit RecoveryStore(const QString& folder = defaultFolder());
    ~RecoveryStore(); // releases the locks; the copies stay where they are
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // $XDG_DATA_HOME/QuorStudio/recovery (by default ~/.local/share/QuorStudio/recovery).
    static QString defaultFolder();

    QString folder() const { return dir; }
    QString identity() const { return id; }

    // Writes (or replaces, atomically) this instance's copy number `serial`. On failure the old
    // copy stays and `error` says why.
    bool write(int serial, const RecoveryCopy& copy, QString* error = nullptr);
    void remove(int serial);
    void removeAll();
    bool holds(int serial) const { return written.count(serial) != 0; }

    // The readable copies of instances that are no longer running, oldest first. Their locks are
    // held from here on, so that no other instance offers the same copies meanwhile. A left copy
    // that cannot be read or is not complete is moved into unreadableFolder(), unchanged;
    // `setAside` receives how many were.
    QList<RecoveryCopy> adoptLeftCopies(int* setAside = nullptr);
    QString unreadableFolder() const;
    // Deletes an adopted copy.
    void discard(const RecoveryCopy& copy);
    // Lets go of the adopted locks; copies not discarded stay for a later start.
    void releaseAdopted();

private:
    QString copyPath(int serial) const;
    bool ensureLocked(QString* error);
    bool setAside(const QString& path);

    QString dir;
    QString id;
    std::unique_ptr<QLockFile> lock;
    std::vector<std::unique_ptr<QLockFile>> adopted;
    std::set<int> written;
};

#endif
