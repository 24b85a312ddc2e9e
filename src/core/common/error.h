// errors as values: what kind of failure, what it is about, and the text a user can be shown
#pragma once

#include <cerrno>
#include <string>
#include <utility>
#include <variant>

namespace corvane {

// Callers decide by kind, never by the words of a message: a cancel is not a failure to report, a
// missing file is something a user can fix, a refused input will not change by trying again.
enum class ErrorKind {
    Cancelled,     // the user stopped it
    NotFound,      // a file or folder that is not there
    NotReadable,   // there, but it cannot be read (permissions, a folder where a file belongs, ...)
    NotWritable,   // a file or folder that cannot be created or written
    Exists,        // a folder that holds files would be replaced, and nobody said it may be
    Refused,       // input we will not act on: hostile names, over a limit, malformed, unstorable
    Damaged,       // data that fails its own checks: CRC, truncation, a directory that cannot be read
    WrongPassword, // a password is missing or does not open the data
    Io,            // reading or writing failed otherwise (disk full, flush failed, ...)
};

struct Error {
    ErrorKind kind = ErrorKind::Io;
    std::string message; // whole sentences naming the path or line, for a user
    std::string path;    // the file or folder it is about, when there is one
    int systemError = 0; // the operating system's error number, when it gave one
};

inline Error fail(ErrorKind kind, std::string message, std::string path = {}, int systemError = 0) {
    return Error{kind, std::move(message), std::move(path), systemError};
}

// The kind an errno value says, for failures that come straight from the system.
inline ErrorKind KindOfSystemError(int systemError, ErrorKind otherwise) {
    switch (systemError) {
    case ENOENT:
    case ENOTDIR:
        return ErrorKind::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return otherwise == ErrorKind::NotReadable ? ErrorKind::NotReadable : ErrorKind::NotWritable;
    case EISDIR:
        return otherwise;
    default:
        return otherwise == ErrorKind::NotReadable ? ErrorKind::NotReadable : ErrorKind::Io;
    }
}

// An errno value as the reason a user reads after a path: "permission denied", "no space left on the
// disk", "it is a symbolic link that loops back on itself", ...
std::string SystemErrorReason(int systemError);

// A value or the error that stopped it.
template <typename T> class Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<T>(m_state); }
    T& value() & { return std::get<T>(m_state); }
    T&& value() && { return std::get<T>(std::move(m_state)); }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }

    const Error& failure() const { return std::get<Error>(m_state); }
    const std::string& error() const { return failure().message; }
    bool cancelled() const { return !ok() && failure().kind == ErrorKind::Cancelled; }

private:
    std::variant<T, Error> m_state;
};

// Success or the error; for operations that produce nothing.
class Status {
public:
    Status() = default;
    Status(Error error) : m_ok(false), m_error(std::move(error)) {}

    static Status success() { return {}; }
    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const Error& failure() const { return m_error; }
    const std::string& error() const { return m_error.message; }
    bool cancelled() const { return !m_ok && m_error.kind == ErrorKind::Cancelled; }

private:
    bool m_ok = true;
    Error m_error;
};

} // namespace corvane
