#include "Harness.h"

#include "Json.h"
#include "framework/TScreen.h"
#include "imaging/ImageFormats.h"
#include "imaging/TGIFImage.h"
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
    : m_start_directory(std::filesystem::current_path())
{
    std::filesystem::current_path(disc);
    auto backend = std::make_unique<HeadlessBackend>();
    m_backend = backend.get();
    // The program's file is "velmar"; the error box takes its title from that name.
    m_application = std::make_unique<TApplication>(std::move(backend), "velmar");
    RegisterImageFormats();
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
    ConfirmErrorBoxes();
    m_backend->Inject(event);
    m_application->ProcessMessages();
}

void Harness::ConfirmErrorBoxes()
{
    // A user reads the box and presses Enter before doing anything else; so does the harness, so
    // that a script goes on as the user would. A box that keeps coming back is answered a bounded
    // number of times.
    for (int answered = 0; answered < 100 && m_application->ErrorBoxShowing(); ++answered) {
        m_backend->Inject({ .type = WindowEvent::Type::KeyDown, .key = VK_RETURN, .ch = '\r' });
        m_backend->Inject({ .type = WindowEvent::Type::KeyUp, .key = VK_RETURN });
        m_application->ProcessMessages();
    }
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

bool Harness::WaitUntil(const std::function<bool()>& done, int limit_ms)
{
    const int slice_ms = 5;
    for (int waited = 0; !done(); waited += slice_ms) {
        if (waited >= limit_ms || m_application->Terminated())
            return false;
        Wait(slice_ms);
    }
    return true;
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
            path = (m_start_directory / path).string(); // relative to where the harness was started
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

namespace {

void DumpTree(Json& json, const char* name, TTreeView* view)
{
    json.Key(name).BeginObject();
    json.Key("selected").Number(view->Selected() ? view->Selected()->AbsoluteIndex() : -1);
    json.Key("top").Number(view->TopItem() ? view->TopItem()->AbsoluteIndex() : -1);
    json.Key("nodes").BeginArray();
    for (int i = 0; i < view->Items().Count(); ++i) {
        TTreeNode* node = view->Items()[i];
        json.BeginArray().String(Cp1251ToUtf8(node->Text())).Number(node->Level()).Bool(node->Expanded()).EndArray();
    }
    json.EndArray();
    json.EndObject();
}

void DumpList(Json& json, const char* name, TbsSkinListBox* box)
{
    json.Key(name).BeginObject();
    json.Key("index").Number(box->ItemIndex());
    json.Key("top").Number(box->ListBox().TopIndex());
    json.Key("itemHeight").Number(box->ItemHeight());
    json.Key("items").BeginArray();
    for (int i = 0; i < box->Items().Count(); ++i)
        json.String(Cp1251ToUtf8(box->Items()[i]));
    json.EndArray();
    json.EndObject();
}

void DumpBar(Json& json, const std::string& name, TbsSkinScrollBar* bar)
{
    json.Key(name).BeginObject();
    json.Key("visible").Bool(bar && bar->Visible());
    json.Key("min").Number(bar ? bar->Min() : 0);
    json.Key("max").Number(bar ? bar->Max() : 0);
    json.Key("position").Number(bar ? bar->Position() : 0);
    json.Key("page").Number(bar ? bar->PageSize() : 0);
    json.EndObject();
}

// FNV-1a over the pixels a control shows in the window.
std::uint64_t HashShown(const PixelBuffer& surface, Rect area)
{
    std::uint64_t hash = 1469598103934665603ull;
    area = area.Intersected(surface.Bounds());
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            hash ^= surface.At(x, y) & 0x00FFFFFFu;
            hash *= 1099511628211ull;
        }
    return hash;
}

} // namespace

void Harness::DumpState(Json& json)
{
    TVelmarForm& f = *m_form;
    json.Key("state").BeginObject();
    json.Key("CurrentMode").Number(f.CurrentMode);
    json.Key("CurrentPhoto").Number(f.CurrentPhoto);
    int slot = -1;
    for (int i = 0; i < f.PlaceCount(); ++i)
        if (&f.PlaceLists[std::size_t(i)].Pictures == f.CurrentPlaceList)
            slot = i;
    json.Key("CurrentPlaceList").Number(slot);
    json.Key("CurrentPlaceText").String(Cp1251ToUtf8(f.CurrentPlaceText));
    json.Key("CurrentScheme").Number(f.CurrentScheme);
    json.Key("CurrentSchemePicture").Number(f.CurrentSchemePicture);
    json.Key("CurrentNaska").Number(f.CurrentNaska);
    json.Key("CurrentNaskaPicture").Number(f.CurrentNaskaPicture);
    json.Key("CurrentArticleFolder").String(Cp1251ToUtf8(f.CurrentArticleFolder));
    json.Key("SavedPosition").Number(f.SavedPosition);
    json.Key("PhotoCount").Number(f.PhotoCount());
    json.Key("PlaceCount").Number(f.PlaceCount());
    json.Key("SchemeCount").Number(f.SchemeCount());
    json.Key("NaskaCount").Number(f.NaskaCount());
    json.EndObject();

    json.Key("trees").BeginObject();
    DumpTree(json, "FotoTreeView", f.FotoTreeView);
    DumpTree(json, "NaskaTreeView", f.NaskaTreeView);
    json.EndObject();

    json.Key("lists").BeginObject();
    DumpList(json, "SchemeListBox", f.SchemeListBox);
    DumpList(json, "VideoListBox", f.VideoListBox);
    DumpList(json, "ArticlesListBox", f.ArticlesListBox);
    json.EndObject();

    TGraphic* graphic = f.Image->Picture().Graphic();
    json.Key("viewer").BeginObject();
    json.Key("class").String(graphic ? graphic->ClassName() : "none");
    json.Key("width").Number(graphic ? graphic->Width() : 0);
    json.Key("height").Number(graphic ? graphic->Height() : 0);
    Rect shown = f.Image->DestRect().Intersected(f.Image->ClientRect());
    Point origin = f.Image->WindowOrigin();
    json.Key("hash").String(graphic && f.Image->Showing()
            ? std::to_string(HashShown(m_backend->Surface(), shown.Translated(origin.x, origin.y)))
            : "");
    auto* gif = dynamic_cast<TGIFImage*>(graphic);
    json.Key("frames").Number(gif ? gif->FrameCount() : graphic ? 1 : 0);
    json.EndObject();

    json.Key("player").BeginObject();
    bool open = f.MediaPlayer->IsOpen();
    json.Key("open").Bool(open);
    json.Key("mode").String(ModeName(f.MediaPlayer->Mode()));
    json.Key("position").Number(open ? f.MediaPlayer->Position() : 0);
    json.Key("length").Number(open ? f.MediaPlayer->Length() : 0);
    json.Key("file").String(Cp1251ToUtf8(f.MediaPlayer->FileName()));
    json.EndObject();

    json.Key("scrollbars").BeginObject();
    DumpBar(json, "VerSkinScrollBar", f.VerSkinScrollBar);
    DumpBar(json, "HorScrollBar", f.HorScrollBar);
    for (auto [name, box] : { std::pair { "SchemeListBox", f.SchemeListBox }, std::pair { "VideoListBox", f.VideoListBox },
             std::pair { "ArticlesListBox", f.ArticlesListBox } }) {
        DumpBar(json, std::string(name) + ".VerticalBar", box->VerticalBar());
        DumpBar(json, std::string(name) + ".ExtentBar", box->ExtentBar());
    }
    json.EndObject();
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
    DumpState(json);
    json.EndObject();
    return json.Text();
}
