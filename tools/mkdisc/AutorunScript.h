#pragma once

#include <filesystem>
#include <string>

// The disc's autorun.sh: desktops that follow the freedesktop.org convention for software on
// removable media offer to run it when the disc is mounted (the user is asked first). It starts the
// installed program on the disc's own mount point.
std::string AutorunScript();

// Writes the script as ROOT/autorun.sh, executable; throws EDiscError when it cannot.
void WriteAutorunScript(const std::filesystem::path& root);
