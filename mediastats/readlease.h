#pragma once

#include <QByteArray>
#include <QString>

namespace vek {

// A read lease on a file: the kernel grants it only while no process has the file open
// for writing, and while it is held a writer's open waits. So a file that another
// program is still writing (and may go on writing after a pause) is told apart from one
// that is finished, which its size and time alone cannot show.
class ReadLease
{
public:
    enum class State {
        Held,       // nobody writes the file
        Busy,       // a process has it open for writing
        Unavailable // the lease could not be asked for (error() says why)
    };

    explicit ReadLease(const QString &path);
    // The path as the file system's bytes.
    explicit ReadLease(const QByteArray &path);
    ~ReadLease();
    ReadLease(const ReadLease &) = delete;
    ReadLease &operator=(const ReadLease &) = delete;

    State state() const { return m_state; }
    // The system's error number when Unavailable.
    int error() const { return m_error; }

private:
    int m_fd = -1;
    State m_state = State::Unavailable;
    int m_error = 0;
};

} // namespace vek
