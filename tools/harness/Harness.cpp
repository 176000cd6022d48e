#include "Harness.h"

#include "Json.h"
#include "framework/TScreen.h"
#include "platform/Cp1251.h"
#include "platform/PngCodec.h"
#include "platform/ShellOpen.h"

#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>

namespace {

const char* CursorName(TCursor cursor)
{
    switch (cursor) {
    case crHandPoint:
        return "hand";
    case crArrow:
        return "arrow";
    case crIBeam:
        return "ibeam";
    case crHourGlass:
        return "wait";
    default:
        return "default";
    }
}

// Virtual key and character of a harness key name.
bool KeyOf(const std::string& name, int& key, unsigned char& ch)
{
    static const std::map<std::string, int> named = {
        { "Enter", VK_RETURN }, { "Escape", VK_ESCAPE }, { "Tab", VK_TAB }, { "Up", VK_UP }, { "Down", VK_DOWN },
        { "Left", VK_LEFT }, { "Right", VK_RIGHT }, { "Home", VK_HOME }, { "End", VK_END }, { "PageUp", VK_PRIOR },
        { "PageDown", VK_NEXT }, { "Space", VK_SPACE },
    };
    ch = 0;
    if (auto it = named.find(name); it != named.end()) {
        key = it->second;
        if (key == VK_SPACE)
            ch = ' ';
        if (key == VK_RETURN)
            ch = '\r';
        return true;
    }
    std::string one = Utf8ToCp1251(name);
    if (one.size() != 1)
        return false;
    ch = static_cast<unsigned char>(one[0]);
    key = (ch >= 'a' && ch <= 'z') ? ch - 'a' + 'A' : ch;
    return true;
}

} // namespace

Harness::Harness(const std::string& disc)
{
    std::filesystem::current_path(disc);
    auto backend = std::make_unique<HeadlessBackend>();
    m_backend = backend.get();
    // The program's file is "velmar"; the error box takes its title from that name.
    m_application = std::make_unique<TApplication>(std::move(backend), "velmar");
    SetShellObserver([this](std::string_view file) { m_shell_log.push_back(Cp1251ToUtf8(file)); });
    SetShellLauncher([](const std::vector<std::string>&) { }); // nothing is started headless
    m_form = m_application->CreateForm<TVelmarForm>();
    m_application->ProcessMessages();
}

Harness::~Harness()
{
    Close();
    SetShellObserver({});
    SetShellLauncher({});
}

void Harness::Close()
{
    if (m_closed)
        return;
    m_closed = true;
    m_application->Terminate();
    m_application.reset();
}

void Harness::Inject(WindowEvent event)
{
    m_backend->Inject(event);
    m_application->ProcessMessages();
}

void Harness::Move(int x, int y)
{
    Inject({ .type = WindowEvent::Type::MouseMove, .x = x, .y = y });
}

void Harness::Click(int x, int y)
{
    Move(x, y);
    Inject({ .type = WindowEvent::Type::MouseDown, .x = x, .y = y });
    Inject({ .type = WindowEvent::Type::MouseUp, .x = x, .y = y });
}

void Harness::DoubleClick(int x, int y)
{
    Click(x, y);
    Inject({ .type = WindowEvent::Type::DoubleClick, .x = x, .y = y });
    Inject({ .type = WindowEvent::Type::MouseUp, .x = x, .y = y });
}

void Harness::Key(int virtual_key, unsigned char ch)
{
    Inject({ .type = WindowEvent::Type::KeyDown, .key = virtual_key, .ch = ch });
    Inject({ .type = WindowEvent::Type::KeyUp, .key = virtual_key });
}

void Harness::Wait(int ms)
{
    m_application->RunFor(ms);
}

bool Harness::Execute(const std::string& line, std::ostream& out, std::ostream& err)
{
    std::istringstream words(line);
    std::string command;
    if (!(words >> command))
        return true;
    auto point = [&](int& x, int& y) {
        if (!(words >> x >> y))
            throw std::invalid_argument("expects X Y");
    };
    try {
        int x = 0, y = 0;
        if (command == "click") {
            point(x, y);
            Click(x, y);
        } else if (command == "dblclick") {
            point(x, y);
            DoubleClick(x, y);
        } else if (command == "down" || command == "up" || command == "move") {
            point(x, y);
            auto type = command == "down" ? WindowEvent::Type::MouseDown
                : command == "up"         ? WindowEvent::Type::MouseUp
                                          : WindowEvent::Type::MouseMove;
            Inject({ .type = type, .x = x, .y = y });
        } else if (command == "key") {
            std::string name;
            std::getline(words >> std::ws, name);
            int key = 0;
            unsigned char ch = 0;
            if (!KeyOf(name, key, ch))
                throw std::invalid_argument("unknown key '" + name + "'");
            Key(key, ch);
        } else if (command == "wheel") {
            int steps = 0;
            if (!(words >> steps))
                throw std::invalid_argument("expects N");
            Point mouse = m_form->MousePosition();
            Inject({ .type = WindowEvent::Type::Wheel, .x = mouse.x, .y = mouse.y, .wheel = steps });
        } else if (command == "wait") {
            int ms = 0;
            if (!(words >> ms) || ms < 0)
                throw std::invalid_argument("expects MS");
            Wait(ms);
        } else if (command == "minimize") {
            m_application->Minimize();
            m_application->ProcessMessages();
        } else if (command == "restore") {
            Inject({ .type = WindowEvent::Type::Restore });
            Inject({ .type = WindowEvent::Type::Activate });
        } else if (command == "activate") {
            Inject({ .type = WindowEvent::Type::Activate });
        } else if (command == "shot") {
            std::string path;
            std::getline(words >> std::ws, path);
            if (path.empty())
                throw std::invalid_argument("expects PATH");
            m_application->ProcessMessages();
            if (!WritePng(path, m_backend->Surface()))
                throw std::runtime_error("cannot write " + path);
        } else if (command == "dump") {
            out << Dump() << '\n' << std::flush;
        } else if (command == "quit") {
            Close();
            return false;
        } else {
            err << "velmar-harness: unknown command '" << command << "'\n";
        }
    } catch (const std::exception& error) {
        err << "velmar-harness: " << command << ": " << error.what() << '\n';
    }
    if (m_application && m_application->Terminated()) {
        Close(); // the window was closed (its close mark): the program ends
        return false;
    }
    return true;
}

void Harness::DumpControls(Json& json)
{
    json.Key("controls").BeginObject();
    for (TComponent* component : m_form->Components()) {
        auto* control = dynamic_cast<TControl*>(component);
        if (!control || component->Name().empty())
            continue;
        int z = 0;
        if (TWinControl* parent = control->Parent()) {
            // Windowless children lie below windowed ones, each group in its own order.
            int position = 0;
            for (bool windowed : { false, true })
                for (TControl* sibling : parent->Controls())
                    if (sibling->IsWindowed() == windowed) {
                        if (sibling == control)
                            z = position;
                        ++position;
                    }
        }
        json.Key(component->Name()).BeginObject();
        json.Key("visible").Bool(control->Visible());
        json.Key("z").Number(z);
        json.Key("bounds").BeginArray();
        for (int v : { control->Left(), control->Top(), control->Width(), control->Height() })
            json.Number(v);
        json.EndArray();
        json.EndObject();
    }
    json.EndObject();
}

std::string Harness::Dump()
{
    m_application->ProcessMessages();
    Json json;
    json.BeginObject();
    json.Key("info").String(Cp1251ToUtf8(m_form->InfoLabel->Caption()));
    json.Key("errors").BeginArray();
    for (const auto& box : m_backend->TakeErrorBoxes())
        json.String(box.message);
    json.EndArray();
    json.Key("shell").BeginArray();
    for (const std::string& file : m_shell_log)
        json.String(file);
    json.EndArray();
    m_shell_log.clear();
    json.Key("cursor").String(CursorName(m_form->CursorAtMouse()));
    json.Key("hint").String(Cp1251ToUtf8(m_application->CurrentHint()));
    TWinControl* focused = m_form->ActiveControl();
    json.Key("focus").String(focused ? focused->Name() : "");
    DumpControls(json);
    json.EndObject();
    return json.Text();
}
