// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace orva {

/// Outcome of an operation that can fail for expected reasons (a missing file, no device).
/// The message is for a person: operation, path, reason.
class [[nodiscard]] Status
{
public:
    static Status success() { return Status(); }
    static Status failure(QString message) { return Status(std::move(message), true); }

    bool ok() const { return !m_failed; }
    const QString &error() const { return m_message; }

private:
    Status() = default;
    Status(QString message, bool failed)
        : m_message(std::move(message))
        , m_failed(failed)
    { }

    QString m_message;
    bool m_failed = false;
};

/// A value or the reason why there is none.
template<typename T> class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_value(std::move(value))
    { }
    Result(Status failure)
        : m_error(failure.error())
    { }
    /// A stand-in for the value that was asked for: ok() is true, and error() says why the wanted
    /// value could not be had (a fallback taken on purpose, such as the built-in German texts in
    /// place of a missing translation). error() is empty for every other value.
    Result(T standIn, const Status &why)
        : m_value(std::move(standIn))
        , m_error(why.error())
    { }

    bool ok() const { return m_value.has_value(); }
    const QString &error() const { return m_error; }
    const T &value() const & { return *m_value; }
    T &value() & { return *m_value; }
    T &&value() && { return std::move(*m_value); }

private:
    std::optional<T> m_value;
    QString m_error;
};

} // namespace orva
