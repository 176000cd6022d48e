#pragma once

#include <memory>
#include <string>
#include <string_view>

// Sequential reading of a text file by lines, as the catalogue readers use it. Lines end at CR LF
// (also at a lone LF or a lone CR); a break at the very end of the file does not start another
// line, so "a\r\n" is one line and "a\r\n\r\n" is two, the second empty. Bytes are returned as they
// are (Windows-1251 text, NUL bytes included); lines may be of any length.
//
// Opening raises EInOutError: "File not found" when the path (a disc path, see platform/DiscPath.h)
// names nothing, and a message naming the path when it is a folder, another kind of non-regular file,
// or cannot be read. A read failure later raises EInOutError as well.
class TextFile {
public:
    explicit TextFile(std::string_view disc_path);
    // A file whose whole content is `bytes`: for tests and for readers fed from memory.
    static TextFile FromBytes(std::string bytes);

    TextFile(TextFile&&) noexcept;
    TextFile& operator=(TextFile&&) noexcept;
    ~TextFile();

    // The next line without its break; false at the end of the file.
    bool ReadLine(std::string& line);
    bool Eof();

private:
    TextFile() = default;
    bool Fill();

    std::string m_path;
    int m_fd { -1 };
    std::string m_buffer;
    std::size_t m_pos { 0 };
    bool m_at_end { false };
};
