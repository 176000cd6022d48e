#include "platform/ShellOpen.h"

#include "platform/Cp1251.h"
#include "platform/DiscPath.h"

#include <cctype>
#include <filesystem>
#include <mutex>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::mutex s_mutex;
ShellLauncher s_launcher;
ShellObserver s_observer;

// Starts argv as a grandchild in its own session, so that it is never our child to wait for.
void LaunchDetached(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t child = fork();
    if (child < 0)
        return;
    if (child == 0) {
        if (fork() == 0) {
            setsid();
            execvp(args[0], args.data());
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0); // the intermediate child exits at once
}

bool LooksLikeWebAddress(std::string_view text)
{
    std::string_view host = text.substr(0, text.find('/'));
    if (host.empty() || host.find('.') == std::string_view::npos || host.front() == '.' || host.back() == '.')
        return false;
    for (unsigned char c : host)
        if (!std::isalnum(c) && c != '.' && c != '-' && c != ':')
            return false;
    return true;
}

} // namespace

std::vector<std::string> ShellOpenCommand(std::string_view file_cp1251)
{
    if (file_cp1251.empty())
        return {};
    if (DiscPathExists(file_cp1251)) {
        std::error_code error;
        std::filesystem::path path = std::filesystem::absolute(ResolveDiscPath(file_cp1251), error);
        return { "xdg-open", path.string() };
    }
    if (LooksLikeWebAddress(file_cp1251))
        return { "xdg-open", "http://" + Cp1251ToUtf8(file_cp1251) };
    return {};
}

void ShellOpen(std::string_view file_cp1251)
{
    ShellObserver observer;
    {
        std::lock_guard lock(s_mutex);
        observer = s_observer;
    }
    if (observer)
        observer(file_cp1251);
    std::vector<std::string> command = ShellOpenCommand(file_cp1251);
    if (command.empty())
        return;
    ShellLauncher launcher;
    {
        std::lock_guard lock(s_mutex);
        launcher = s_launcher;
    }
    if (launcher)
        launcher(command);
    else
        LaunchDetached(command);
}

void SetShellLauncher(ShellLauncher launcher)
{
    std::lock_guard lock(s_mutex);
    s_launcher = std::move(launcher);
}

void SetShellObserver(ShellObserver observer)
{
    std::lock_guard lock(s_mutex);
    s_observer = std::move(observer);
}
