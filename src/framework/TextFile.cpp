#include "framework/TextFile.h"

#include "framework/Exception.h"
#include "platform/DiscPath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::size_t chunk_size = 64 * 1024;

std::string OpenFailure(const std::string& path, int error)
{
    if (error == ENOENT || error == ENOTDIR)
        return "File not found";
    if (error == EACCES || error == EPERM)
        return Format("File access denied: \"%s\"", path.c_str());
    return Format("Cannot open \"%s\": %s", path.c_str(), std::strerror(error));
}

} // namespace

TextFile::TextFile(std::string_view disc_path)
    : m_path(disc_path.substr(0, disc_path.find('\0')))
{
    if (m_path.empty())
        throw EInOutError("File not found");
    std::filesystem::path path = ResolveDiscPath(m_path);
    // O_NONBLOCK keeps a FIFO from blocking the open; such files are refused just below.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0)
        throw EInOutError(OpenFailure(m_path, errno));
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        bool folder = S_ISDIR(info.st_mode);
        ::close(m_fd);
        m_fd = -1;
        throw EInOutError(folder ? Format("Cannot read \"%s\": it is a folder, not a file", m_path.c_str())
                                 : Format("Cannot read \"%s\": it is not a regular file", m_path.c_str()));
    }
    int flags = ::fcntl(m_fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK);
}

TextFile TextFile::FromBytes(std::string bytes)
{
    TextFile file;
    file.m_buffer = std::move(bytes);
    file.m_at_end = true;
    return file;
}

TextFile::TextFile(TextFile&& other) noexcept
    : m_path(std::move(other.m_path))
    , m_fd(std::exchange(other.m_fd, -1))
    , m_buffer(std::move(other.m_buffer))
    , m_pos(std::exchange(other.m_pos, 0))
    , m_at_end(other.m_at_end)
{
}

TextFile& TextFile::operator=(TextFile&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_path = std::move(other.m_path);
        m_fd = std::exchange(other.m_fd, -1);
        m_buffer = std::move(other.m_buffer);
        m_pos = std::exchange(other.m_pos, 0);
        m_at_end = other.m_at_end;
    }
    return *this;
}

TextFile::~TextFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

// Reads the next chunk behind what is buffered; false when the file has no more bytes.
bool TextFile::Fill()
{
    if (m_at_end || m_fd < 0) {
        m_at_end = true;
        return false;
    }
    if (m_pos > 0) {
        m_buffer.erase(0, m_pos);
        m_pos = 0;
    }
    std::size_t old_size = m_buffer.size();
    m_buffer.resize(old_size + chunk_size);
    ssize_t count;
    do {
        count = ::read(m_fd, m_buffer.data() + old_size, chunk_size);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        int error = errno;
        m_buffer.resize(old_size);
        throw EInOutError(Format("Cannot read \"%s\": %s", m_path.c_str(), std::strerror(error)));
    }
    m_buffer.resize(old_size + std::size_t(count));
    if (count == 0) {
        m_at_end = true;
        return false;
    }
    return true;
}

bool TextFile::Eof()
{
    while (m_pos >= m_buffer.size()) {
        if (!Fill())
            return true;
    }
    return false;
}

bool TextFile::ReadLine(std::string& line)
{
    if (Eof())
        return false;
    std::size_t scanned = m_pos;
    for (;;) {
        while (scanned < m_buffer.size() && m_buffer[scanned] != '\r' && m_buffer[scanned] != '\n')
            ++scanned;
        if (scanned < m_buffer.size()) {
            // A CR at the end of the buffer may be the first half of a CR LF: look one byte further.
            if (m_buffer[scanned] == '\r' && scanned + 1 == m_buffer.size()) {
                std::size_t offset = scanned - m_pos;
                Fill();
                scanned = m_pos + offset;
            }
            line.assign(m_buffer, m_pos, scanned - m_pos);
            std::size_t next = scanned + 1;
            if (m_buffer[scanned] == '\r' && next < m_buffer.size() && m_buffer[next] == '\n')
                ++next;
            m_pos = next;
            return true;
        }
        std::size_t offset = scanned - m_pos;
        if (!Fill()) {
            line.assign(m_buffer, m_pos, std::string::npos);
            m_pos = m_buffer.size();
            return true;
        }
        scanned = m_pos + offset;
    }
}
