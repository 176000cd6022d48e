#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Where the disc is. The program reads everything relative to the disc's root, its current
// directory; an installed program is started elsewhere (from the desktop's menu, by the disc's
// autorun script, from a terminal), so before the window opens the entry point finds the disc and
// makes its root the current directory.
struct DiscLocation {
    std::filesystem::path root; // empty when no disc was found
    std::string problem;        // what is missing and what to do (English, UTF-8) when none was
};

// Whether the folder holds the catalogue: a "db" folder, its name matched as the disc-path layer
// matches names (the exact name, else without regard to case).
bool HoldsCatalogue(const std::filesystem::path& folder);

// The patterns of folders a mounted disc may be: VELMAR_MOUNT_ROOTS (patterns separated by ':')
// when set, else /media/*/, /media/*/*/, /run/media/*/*/ and /mnt/*/.
std::vector<std::string> MountRootPatterns();

// The first folder, in sorted order, that matches one of the patterns and holds the catalogue.
std::optional<std::filesystem::path> FindMountedDisc(const std::vector<std::string>& patterns);

// The disc's root for a program started in `current`:
// - an argument names it (relative to `current`), and must hold the catalogue;
// - without one, `current` when it holds the catalogue (a program started on the disc);
// - else the first mounted disc under the patterns.
DiscLocation LocateDisc(const std::filesystem::path& current, const std::optional<std::string>& argument,
    const std::vector<std::string>& patterns);
