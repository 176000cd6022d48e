#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// A byte stream. Read returns what it could; ReadBuffer raises EReadError "Stream read error" when
// the stream ends first.
class TStream {
public:
    virtual ~TStream() = default;
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
    std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
    std::int64_t Size();
    // Copies `count` bytes (all of the rest when 0) from `source` into this stream.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes)
        : m_bytes(std::move(bytes))
    {
    }
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& disc_path);
    void Clear();
    std::span<const std::uint8_t> Bytes() const { return m_bytes; }
    std::vector<std::uint8_t>& Storage() { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::int64_t m_position { 0 };
};

// A read-only view of bytes that live elsewhere (embedded resources).
class TSpanStream : public TStream {
public:
    explicit TSpanStream(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes)
    {
    }
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

private:
    std::span<const std::uint8_t> m_bytes;
    std::int64_t m_position { 0 };
};

enum class TFileMode { fmOpenRead, fmCreate };

// A file on the disc, named by a disc path (see platform/DiscPath.h). A file that cannot be opened
// raises EFOpenError "Cannot open file "NAME". REASON".
class TFileStream : public TStream {
public:
    TFileStream(const std::string& disc_path, TFileMode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

private:
    std::FILE* m_file { nullptr };
};
