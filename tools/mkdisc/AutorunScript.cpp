#include "AutorunScript.h"

#include "DiscError.h"

#include <fstream>
#include <system_error>

std::string AutorunScript()
{
    // POSIX sh only, and no outside programs before the program itself is found: the desktop runs
    // the script with whatever PATH the session has.
    return R"(#!/bin/sh
# Started by the desktop when this disc is mounted (after asking the user): runs the installed
# program on the disc, whatever folder the disc is mounted at.
case $0 in
*/*) disc=${0%/*} ;;
*) disc=. ;;
esac
disc=$(CDPATH= cd -- "$disc" && pwd) || exit 1

if command -v velmar >/dev/null 2>&1; then
    cd -- "$disc" && exec velmar "$disc"
fi

message="The program of this disc is not installed. Install the velmar package once, then open the disc again."
echo "$message" >&2
if command -v zenity >/dev/null 2>&1; then
    zenity --error --title=Velmar --text="$message"
elif command -v kdialog >/dev/null 2>&1; then
    kdialog --title Velmar --error "$message"
elif command -v notify-send >/dev/null 2>&1; then
    notify-send Velmar "$message"
elif command -v xmessage >/dev/null 2>&1; then
    xmessage -center "$message"
fi
exit 1
)";
}

void WriteAutorunScript(const std::filesystem::path& root)
{
    std::filesystem::path path = root / "autorun.sh";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << AutorunScript();
        if (!out.flush())
            throw EDiscError("cannot write " + path.string());
    }
    using std::filesystem::perms;
    std::error_code error;
    std::filesystem::permissions(path,
        perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec,
        std::filesystem::perm_options::replace, error);
    if (error)
        throw EDiscError("cannot make " + path.string() + " executable: " + error.message());
}
