#include "stdiochannel.h"

#include <QMetaObject>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <unistd.h>

StdioChannel::StdioChannel(QObject* parent) : QObject(parent)
{
    // A client that goes away makes writes fail instead of ending the program.
    std::signal(SIGPIPE, SIG_IGN);
    if (::pipe(wake) != 0)
        wake[0] = wake[1] = -1;
}

StdioChannel::~StdioChannel()
{
    if (reader.joinable()) {
        const char byte = 0;
        while (::write(wake[1], &byte, 1) < 0 && errno == EINTR) {
        }
        reader.join();
    }
    for (int fd : wake) {
        if (fd >= 0)
            ::close(fd);
    }
}

void StdioChannel::start()
{
    reader = std::thread(&StdioChannel::read, this);
}

void StdioChannel::read()
{
    char buffer[64 * 1024];
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (::poll(fds, wake[0] >= 0 ? 2 : 1, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents)
            return; // the channel is going away: nobody is left to tell
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (count <= 0)
            break;
        const QByteArray bytes(buffer, int(count));
        QMetaObject::invokeMethod(
            this, [this, bytes] { emit received(bytes); }, Qt::QueuedConnection);
    }
    QMetaObject::invokeMethod(
        this, [this] { emit closed(); }, Qt::QueuedConnection);
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
