#pragma once

#include "framework/TApplication.h"
#include "platform/HeadlessBackend.h"
#include "shell/TVelmarForm.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Runs the real main window on the headless backend with the disc as current directory, and
// carries out the harness's commands (see the README of the tools): input, waiting, screenshots,
// and the JSON dump of the window's state.
class Harness {
public:
    explicit Harness(const std::string& disc);
    ~Harness();

    // Carries out one command line. Output goes to `out`, complaints to `err`. False once the
    // window is closed ("quit").
    bool Execute(const std::string& line, std::ostream& out, std::ostream& err);

    std::string Dump();
    TVelmarForm& Form() { return *m_form; }
    HeadlessBackend& Backend() { return *m_backend; }
    TApplication& App() { return *m_application; }

    void Move(int x, int y);
    void Click(int x, int y);
    void DoubleClick(int x, int y);
    void Key(int virtual_key, unsigned char ch);
    void Wait(int ms);
    // Runs the message loop until `done` holds, for at most `limit_ms` of real time; false when the
    // time ran out. Tests wait for an outcome this way, since a loaded machine or a sanitizer build
    // may take far longer than the program's own timings.
    bool WaitUntil(const std::function<bool()>& done, int limit_ms = 5000);
    void Close();

private:
    void Inject(WindowEvent event);
    // Closes the error boxes showing, as the user does with Enter.
    void ConfirmErrorBoxes();
    void DumpControls(class Json& json);
    void DumpState(class Json& json);

    HeadlessBackend* m_backend { nullptr };
    std::unique_ptr<TApplication> m_application;
    TVelmarForm* m_form { nullptr };
    std::filesystem::path m_start_directory;
    std::vector<std::string> m_shell_log;
    bool m_closed { false };
};
