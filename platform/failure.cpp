#include "failure.h"

namespace vek {

QByteArray errorDescription(ErrorKind kind)
{
    switch (kind) {
    case ErrorKind::InvalidCall:
        return "Invalid procedure call or argument";
    case ErrorKind::Overflow:
        return "Overflow";
    case ErrorKind::SubscriptOutOfRange:
        return "Subscript out of range";
    case ErrorKind::TypeMismatch:
        return "Type mismatch";
    case ErrorKind::InputPastEnd:
        return "Input past end of file";
    case ErrorKind::BadFileName:
        return "Bad file name or number";
    case ErrorKind::FileNotFound:
        return "File not found";
    case ErrorKind::PermissionDenied:
        return "Permission denied";
    case ErrorKind::PathFileAccess:
        return "Path/File access error";
    case ErrorKind::InvalidFileFormat:
        return "Invalid file format";
    case ErrorKind::DuplicateKey:
        return "This key is already associated with an element of this collection";
    }
    return "Application-defined or object-defined error";
}

Failure::Failure(ErrorKind kind)
    : m_number(static_cast<int>(kind)), m_description(errorDescription(kind))
{}

Failure::Failure(int number, QByteArray description)
    : m_number(number), m_description(std::move(description))
{}

} // namespace vek
