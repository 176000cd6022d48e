#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The stand-in for the platform shell's "open": hands a document or a web address to the program
// the desktop associates with it (xdg-open), detached; never waits for it and ignores its result.
//
// A path that exists on the disc is opened by its absolute file-system path; otherwise text that
// looks like a scheme-less web address ("host.name/path") is opened as an http address; anything
// else is dropped, as the platform's shell would fail on it silently.
void ShellOpen(std::string_view file_cp1251);

// What ShellOpen would run, as an argument vector ({"xdg-open", target}), or empty when it drops
// the request. Exposed for tests.
std::vector<std::string> ShellOpenCommand(std::string_view file_cp1251);

// Replaces the launcher that starts the command (tests and the harness record instead). An empty
// function restores the real launcher.
using ShellLauncher = std::function<void(const std::vector<std::string>& argv)>;
void SetShellLauncher(ShellLauncher launcher);

// Told of every document or address handed to ShellOpen, as handed over (the harness's log).
using ShellObserver = std::function<void(std::string_view file_cp1251)>;
void SetShellObserver(ShellObserver observer);
