#include "platform/DiscPath.h"

#include "platform/Cp1251.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Unicode case folding of a UTF-8 name, so that "Фото" and "ФОТО" meet.
std::string FoldCase(const std::string& utf8_name)
{
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8_name);
    text.foldCase();
    std::string folded;
    text.toUTF8String(folded);
    return folded;
}

// The entry of `folder` whose name equals `name` without regard to case, or an empty string. When
// several entries qualify (a case-sensitive file system may hold "a.jpg" and "A.JPG"), the one that
// sorts first by its bytes is taken, so the choice never depends on the order of the listing.
std::string FindWithoutCase(const std::filesystem::path& folder, const std::string& name)
{
    std::string wanted = FoldCase(name);
    std::string best;
    std::error_code error;
    std::filesystem::directory_iterator it(folder.empty() ? std::filesystem::path(".") : folder, error);
    if (error)
        return best;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error)
            break;
        std::string candidate = it->path().filename().string();
        if (FoldCase(candidate) == wanted && (best.empty() || candidate < best))
            best = std::move(candidate);
    }
    return best;
}

} // namespace

std::filesystem::path ResolveDiscPath(std::string_view disc_path)
{
    return ResolveDiscPath(disc_path, {});
}

std::filesystem::path ResolveDiscPath(std::string_view disc_path, const std::filesystem::path& root)
{
    // The platform's calls take C strings, so a path ends at its first NUL byte there as well.
    disc_path = disc_path.substr(0, disc_path.find('\0'));
    std::filesystem::path result = root;
    if (!disc_path.empty() && IsSeparator(disc_path.front()))
        result = "/";

    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= disc_path.size()) {
        std::size_t end = start;
        while (end < disc_path.size() && !IsSeparator(disc_path[end]))
            ++end;
        if (end > start)
            components.push_back(Cp1251ToUtf8(disc_path.substr(start, end - start)));
        start = end + 1;
    }
    bool trailing_separator = !disc_path.empty() && IsSeparator(disc_path.back()) && !components.empty();

    // Once a component cannot be found at all, the rest is appended as written: the path names
    // nothing, and the caller's open or existence test reports that.
    bool searching = true;
    for (const std::string& component : components) {
        std::filesystem::path exact = result / component;
        std::error_code error;
        if (!searching || component == "." || component == ".." || std::filesystem::exists(std::filesystem::symlink_status(exact, error))) {
            result = std::move(exact);
            continue;
        }
        std::string found = FindWithoutCase(result, component);
        if (found.empty()) {
            searching = false;
            result = std::move(exact);
        } else {
            result /= found;
        }
    }
    if (trailing_separator)
        result += "/";
    return result;
}

bool DiscPathExists(std::string_view disc_path)
{
    if (disc_path.empty() || disc_path.front() == '\0')
        return false;
    std::error_code error;
    return std::filesystem::exists(ResolveDiscPath(disc_path), error);
}
