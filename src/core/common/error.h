// results carrying either a value or the message a user can be shown
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace corvane {

struct Failure {
    std::string message;
};

template <typename T> class Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Failure failure) : m_state(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<T>(m_state); }
    T& value() & { return std::get<T>(m_state); }
    T&& value() && { return std::get<T>(std::move(m_state)); }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }

    const std::string& error() const { return std::get<Failure>(m_state).message; }

private:
    std::variant<T, Failure> m_state;
};

// success or a message; for operations that produce nothing
class Status {
public:
    Status() = default;
    Status(Failure failure) : m_ok(false), m_error(std::move(failure.message)) {}

    static Status success() { return {}; }
    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const std::string& error() const { return m_error; }

private:
    bool m_ok = true;
    std::string m_error;
};

inline Failure fail(std::string message) { return Failure{std::move(message)}; }

} // namespace corvane
