#include "shell/DiscLocation.h"

#include "platform/DiscPath.h"

#include <glob.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace {

const char* const usual_mount_roots[] = { "/media/*/", "/media/*/*/", "/run/media/*/*/", "/mnt/*/" };

// Ends in a quotation mark, so the error box adds no full stop after the command.
constexpr const char* where_mounted = "the folder where the disc is mounted, for example \"velmar /media/cdrom\"";

std::string Joined(const std::vector<std::string>& patterns)
{
    std::string text;
    for (const std::string& pattern : patterns)
        text += (text.empty() ? "" : ", ") + pattern;
    return text;
}

} // namespace

bool HoldsCatalogue(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::is_directory(ResolveDiscPath("db", folder), error);
}

std::vector<std::string> MountRootPatterns()
{
    std::vector<std::string> patterns;
    const char* named = std::getenv("VELMAR_MOUNT_ROOTS");
    if (!named || !*named)
        return { std::begin(usual_mount_roots), std::end(usual_mount_roots) };
    std::string list = named;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = std::min(list.find(':', start), list.size());
        if (end > start)
            patterns.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return patterns;
}

std::optional<std::filesystem::path> FindMountedDisc(const std::vector<std::string>& patterns)
{
    std::vector<std::string> folders;
    for (const std::string& pattern : patterns) {
        glob_t found {};
        if (glob(pattern.c_str(), GLOB_NOSORT | GLOB_ONLYDIR, nullptr, &found) == 0) {
            for (std::size_t i = 0; i < found.gl_pathc; ++i) {
                std::string folder = found.gl_pathv[i];
                while (folder.size() > 1 && folder.back() == '/')
                    folder.pop_back();
                folders.push_back(std::move(folder));
            }
        }
        globfree(&found);
    }
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    for (const std::string& folder : folders)
        if (HoldsCatalogue(folder))
            return std::filesystem::path(folder);
    return std::nullopt;
}

DiscLocation LocateDisc(const std::filesystem::path& current, const std::optional<std::string>& argument,
    const std::vector<std::string>& patterns)
{
    DiscLocation location;
    if (argument) {
        std::filesystem::path named = current / *argument;
        std::error_code error;
        if (!std::filesystem::is_directory(named, error))
            location.problem = "The disc's folder \"" + *argument + "\" does not exist. Name " + where_mounted;
        else if (!HoldsCatalogue(named))
            location.problem = "The folder \"" + *argument
                + "\" is not the disc: it holds no catalogue (a \"db\" folder). Name " + where_mounted;
        else
            location.root = named.lexically_normal();
        return location;
    }
    if (HoldsCatalogue(current)) {
        location.root = current;
        return location;
    }
    if (std::optional<std::filesystem::path> mounted = FindMountedDisc(patterns)) {
        location.root = *mounted;
        return location;
    }
    location.problem = "No disc found: neither the current folder nor a mounted disc (" + Joined(patterns)
        + ") holds the catalogue (a \"db\" folder). Insert the disc and start the program again, or name "
        + where_mounted;
    return location;
}
