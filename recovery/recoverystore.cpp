#include "recoverystore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMap>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString CopySuffix = QStringLiteral(".recovery");
const QString LockSuffix = QStringLiteral(".lock");
const QString UnreadableName = QStringLiteral("unreadable");

// Unsaved work is for its owner's eyes only, whatever the umask.
const QFile::Permissions PrivateFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
const QFile::Permissions PrivateFile = QFile::ReadOwner | QFile::WriteOwner;

bool makePrivateFolder(const QString& path)
{
    return QDir().mkpath(path) && QFile::setPermissions(path, PrivateFolder);
}

std::unique_ptr<QLockFile> makeLock(const QString& path)
{
    auto lock = std::make_unique<QLockFile>(path);
    // A lock is stale only when its process is gone, never because of its age: an instance may
    // keep its copies for days.
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

RecoveryStore::RecoveryStore(const QString& folder)
    : dir(folder), id(QStringLiteral("%1-%2")
                          .arg(QCoreApplication::applicationPid())
                          .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')))
{
}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::defaultFolder()
{
    // Named here rather than taken from the application's name, which the program never sets.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/QuorStudio/recovery");
}

QString RecoveryStore::copyPath(int serial) const
{
    return dir + QLatin1Char('/') + id + QLatin1Char('.') + QString::number(serial) + CopySuffix;
}

bool RecoveryStore::ensureLocked(QString* error)
{
    if (lock && lock->isLocked())
        return true;
    if (!makePrivateFolder(dir)) {
        *error = QStringLiteral("cannot create the folder %1 for its owner alone")
                     .arg(QDir::toNativeSeparators(dir));
        return false;
    }
    const QString lockPath = dir + QLatin1Char('/') + id + LockSuffix;
    lock = makeLock(lockPath);
    if (lock->tryLock(0)) {
        QFile::setPermissions(lockPath, PrivateFile);
        return true;
    }
    *error = QStringLiteral("cannot lock the folder %1").arg(QDir::toNativeSeparators(dir));
    return false;
}

bool RecoveryStore::write(int serial, const RecoveryCopy& copy, QString* error)
{
    QString reason;
    bool ok = ensureLocked(&reason);
    if (ok) {
        QSaveFile file(copyPath(serial));
        // Header and text written one after the other, sparing a copy of a large text. The
        // temporary file is made private before anything is written to it.
        const QByteArray text = copy.text.toUtf8();
        const QByteArray header = encodeRecoveryHeader(copy, text.size());
        ok = file.open(QIODevice::WriteOnly) && file.setPermissions(PrivateFile) &&
             file.write(header) == header.size() && file.write(text) == text.size() &&
             file.commit();
        if (!ok)
            reason = file.errorString();
    }
    if (ok)
        written.insert(serial);
    else if (error)
        *error = reason;
    return ok;
}

void RecoveryStore::remove(int serial)
{
    if (written.erase(serial))
        QFile::remove(copyPath(serial));
}

void RecoveryStore::removeAll()
{
    for (int serial : written)
        QFile::remove(copyPath(serial));
    written.clear();
}

QString RecoveryStore::unreadableFolder() const
{
    return dir + QLatin1Char('/') + UnreadableName;
}

bool RecoveryStore::setAside(const QString& path)
{
    const QString folder = unreadableFolder();
    if (!makePrivateFolder(folder))
        return false;
    const QString name = QFileInfo(path).fileName();
    QString target = folder + QLatin1Char('/') + name;
    for (int i = 2; QFileInfo::exists(target); ++i)
        target = folder + QLatin1Char('/') + name + QLatin1Char('.') + QString::number(i);
    return QFile::rename(path, target);
}

QList<RecoveryCopy> RecoveryStore::adoptLeftCopies(int* setAsideCount)
{
    if (setAsideCount)
        *setAsideCount = 0;
    const QDir folder(dir);
    if (!folder.exists())
        return {};
    // Every identity that left a copy or a lock behind, with its copies.
    QMap<QString, QStringList> left;
    const QStringList names = folder.entryList(
        {QLatin1Char('*') + CopySuffix, QLatin1Char('*') + LockSuffix}, QDir::Files);
    for (const QString& name : names) {
        const QString owner = name.section(QLatin1Char('.'), 0, 0);
        if (owner == id)
            continue;
        QStringList& copies = left[owner];
        if (name.endsWith(CopySuffix))
            copies.append(folder.filePath(name));
    }

    QList<RecoveryCopy> result;
    for (auto it = left.cbegin(); it != left.cend(); ++it) {
        auto ownerLock = makeLock(folder.filePath(it.key() + LockSuffix));
        if (!ownerLock->tryLock(0))
            continue; // its instance is still running
        for (const QString& path : it.value()) {
            QFile file(path);
            std::optional<RecoveryCopy> copy;
            if (file.open(QIODevice::ReadOnly))
                copy = decodeRecoveryCopy(file.readAll());
            if (copy) {
                copy->path = path;
                result.append(*copy);
            } else if (setAside(path) && setAsideCount) {
                // Kept for reading by hand, out of the way of every later start.
                ++*setAsideCount;
            }
        }
        if (it.value().isEmpty())
            continue; // a lock without copies: releasing it removes the file
        adopted.push_back(std::move(ownerLock));
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.time < b.time; });
    return result;
}

void RecoveryStore::discard(const RecoveryCopy& copy)
{
    if (!copy.path.isEmpty())
        QFile::remove(copy.path);
}

void RecoveryStore::releaseAdopted()
{
    adopted.clear();
}
