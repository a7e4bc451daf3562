// How core and the command line say that something failed.
#pragma once

#include <string>
#include <utility>

namespace folivo {

// Success, or a failure with a message for people that names what failed and
// why. A function that can fail returns one; values it produces go to its
// out-parameters and are set only on success.
class [[nodiscard]] Error {
public:
    // Success.
    Error() = default;
    static Error Failure(std::string message) { return Error(std::move(message)); }

    // True when something failed.
    explicit operator bool() const { return m_failed; }
    const std::string& Message() const { return m_message; }

private:
    explicit Error(std::string message) : m_message(std::move(message)), m_failed(true) {}

    std::string m_message;
    bool m_failed = false;
};

}  // namespace folivo
