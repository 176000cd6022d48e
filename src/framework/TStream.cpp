#include "framework/TStream.h"

#include "framework/Exception.h"
#include "platform/DiscPath.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

void TStream::ReadBuffer(void* buffer, std::int64_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EStreamError("Stream write error");
}

std::int64_t TStream::Size()
{
    std::int64_t position = Position();
    std::int64_t size = Seek(0, TSeekOrigin::soEnd);
    SetPosition(position);
    return size;
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::uint8_t chunk[65536];
    std::int64_t left = count;
    while (left > 0) {
        std::int64_t n = std::min<std::int64_t>(left, sizeof chunk);
        source.ReadBuffer(chunk, n);
        WriteBuffer(chunk, n);
        left -= n;
    }
    return count;
}

namespace {

std::int64_t SeekIn(std::int64_t size, std::int64_t position, std::int64_t offset, TSeekOrigin origin)
{
    switch (origin) {
    case TSeekOrigin::soBeginning:
        return offset;
    case TSeekOrigin::soCurrent:
        return position + offset;
    case TSeekOrigin::soEnd:
        return size + offset;
    }
    return position;
}

std::int64_t ReadFrom(std::span<const std::uint8_t> bytes, std::int64_t& position, void* buffer, std::int64_t count)
{
    std::int64_t size = std::int64_t(bytes.size());
    if (count <= 0 || position >= size || position < 0)
        return 0;
    std::int64_t n = std::min(count, size - position);
    std::memcpy(buffer, bytes.data() + position, std::size_t(n));
    position += n;
    return n;
}

} // namespace

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count)
{
    return ReadFrom(m_bytes, m_position, buffer, count);
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count)
{
    if (count <= 0 || m_position < 0)
        return 0;
    std::size_t end = std::size_t(m_position + count);
    if (end > m_bytes.size())
        m_bytes.resize(end);
    std::memcpy(m_bytes.data() + m_position, buffer, std::size_t(count));
    m_position += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    m_position = SeekIn(std::int64_t(m_bytes.size()), m_position, offset, origin);
    return m_position;
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    std::int64_t size = stream.Size();
    m_bytes.resize(std::size_t(size));
    stream.ReadBuffer(m_bytes.data(), size);
    m_position = 0;
}

void TMemoryStream::LoadFromFile(const std::string& disc_path)
{
    TFileStream file(disc_path, TFileMode::fmOpenRead);
    LoadFromStream(file);
}

void TMemoryStream::Clear()
{
    m_bytes.clear();
    m_position = 0;
}

std::int64_t TSpanStream::Read(void* buffer, std::int64_t count)
{
    return ReadFrom(m_bytes, m_position, buffer, count);
}

std::int64_t TSpanStream::Write(const void*, std::int64_t)
{
    return 0;
}

std::int64_t TSpanStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    m_position = SeekIn(std::int64_t(m_bytes.size()), m_position, offset, origin);
    return m_position;
}

TFileStream::TFileStream(const std::string& disc_path, TFileMode mode)
{
    std::filesystem::path path = ResolveDiscPath(disc_path);
    std::error_code error;
    if (mode == TFileMode::fmOpenRead && std::filesystem::is_directory(path, error)) {
        throw EFOpenError(Format("Cannot open file \"%s\". %s", disc_path.c_str(), "Access is denied"));
    }
    m_file = std::fopen(path.c_str(), mode == TFileMode::fmCreate ? "w+b" : "rb");
    if (!m_file) {
        const char* reason = errno == ENOENT ? "The system cannot find the file specified"
            : errno == EACCES               ? "Access is denied"
                                            : std::strerror(errno);
        throw EFOpenError(Format("Cannot open file \"%s\". %s", disc_path.c_str(), reason));
    }
}

TFileStream::~TFileStream()
{
    if (m_file)
        std::fclose(m_file);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count)
{
    return count <= 0 ? 0 : std::int64_t(std::fread(buffer, 1, std::size_t(count), m_file));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count)
{
    return count <= 0 ? 0 : std::int64_t(std::fwrite(buffer, 1, std::size_t(count), m_file));
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
    std::fseek(m_file, long(offset), whence);
    return std::ftell(m_file);
}
