#pragma once

#include <QByteArray>
#include <exception>

namespace vek {

// Stable error numbers and descriptions, so every "Error ..." log line has one form.
enum class ErrorKind {
    InvalidCall = 5,
    Overflow = 6,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    BadFileName = 52,
    FileNotFound = 53,
    InputPastEnd = 62,
    PermissionDenied = 70,
    PathFileAccess = 75,
    InvalidFileFormat = 321,
    DuplicateKey = 457,
};

QByteArray errorDescription(ErrorKind kind);

// A run-time error that a procedure's single error handler catches and logs.
class Failure : public std::exception
{
public:
    explicit Failure(ErrorKind kind);
    Failure(int number, QByteArray description);

    int number() const { return m_number; }
    const QByteArray &description() const { return m_description; }
    const char *what() const noexcept override { return m_description.constData(); }

private:
    int m_number;
    QByteArray m_description;
};

} // namespace vek
