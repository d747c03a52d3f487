#include "stdiochannel.h"

#include <QMetaObject>

#include <cerrno>
#include <csignal>
#include <thread>
#include <unistd.h>

StdioChannel::StdioChannel(QObject* parent) : QObject(parent)
{
    // A client that goes away makes writes fail instead of ending the program.
    std::signal(SIGPIPE, SIG_IGN);
}

void StdioChannel::start()
{
    // The thread lives as long as the program: it may be blocked in read() when the program
    // ends, which ends it.
    std::thread([this] {
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                break;
            const QByteArray bytes(buffer, int(count));
            QMetaObject::invokeMethod(
                this, [this, bytes] { emit received(bytes); }, Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(
            this, [this] { emit closed(); }, Qt::QueuedConnection);
    }).detach();
}

bool StdioChannel::write(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}
