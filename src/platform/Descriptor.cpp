#include <platform/Descriptor.h>

#include <unistd.h>

#include <cerrno>

namespace platform {

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept
{
    if (this != &other)
        Reset(other.Release());
    return *this;
}

int Descriptor::Release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void Descriptor::Reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

int Descriptor::Close()
{
    const int fd = Release();
    return fd < 0 || ::close(fd) == 0 ? 0 : errno;
}

}  // namespace platform
