#include "readlease.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vek {

ReadLease::ReadLease(const QString &path) : ReadLease(QFile::encodeName(path)) {}

ReadLease::ReadLease(const QByteArray &path)
{
    // Not blocking: a write lease of another process would hold the open.
    m_fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        m_error = errno;
        m_state = m_error == EWOULDBLOCK ? State::Busy : State::Unavailable;
        return;
    }
    // A writer that opens the file while the lease is held signals this process: SIGIO,
    // the default, would end it, SIGURG is ignored.
    if (::fcntl(m_fd, F_SETSIG, SIGURG) == 0 && ::fcntl(m_fd, F_SETLEASE, F_RDLCK) == 0) {
        m_state = State::Held;
        return;
    }
    m_error = errno;
    m_state = m_error == EAGAIN || m_error == EWOULDBLOCK ? State::Busy : State::Unavailable;
    ::close(m_fd);
    m_fd = -1;
}

ReadLease::~ReadLease()
{
    if (m_fd < 0)
        return;
    ::fcntl(m_fd, F_SETLEASE, F_UNLCK);
    ::close(m_fd);
}

} // namespace vek
