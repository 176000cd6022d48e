#pragma once

#include <filesystem>
#include <string_view>

// The disc-path layer. The program composes paths as the disc's catalogue writes them: Windows-1251
// text, backslash separators, relative to the current directory (the disc's root). These functions
// turn such a path into a file-system path: backslashes become slashes, doubled separators collapse,
// names become UTF-8, and each component is matched without regard to case when the exact name does
// not exist (discs are often mounted with their names in another case).
std::filesystem::path ResolveDiscPath(std::string_view disc_path);
// The same for a disc path relative to `root` (a folder's file-system path) instead of the current
// directory; `root` itself is taken as it is.
std::filesystem::path ResolveDiscPath(std::string_view disc_path, const std::filesystem::path& root);

// Whether the disc path names an existing file or folder.
bool DiscPathExists(std::string_view disc_path);
