// A file descriptor that is closed when its owner goes out of scope.
#pragma once

namespace platform {

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { Reset(); }
    Descriptor(Descriptor&& other) noexcept : m_fd(other.Release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    // Gives up ownership without closing.
    int Release();
    // Closes the current descriptor, if any, and owns fd.
    void Reset(int fd = -1);
    // Closes now: 0, or the errno of close (where a delayed write error shows).
    int Close();

private:
    int m_fd;
};

}  // namespace platform
