#include "framework/TApplication.h"

#include "framework/Exception.h"
#include "framework/TForm.h"
#include "framework/TTimer.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <utility>

TApplication* Application = nullptr;

namespace {

// Distinct messages that may wait behind the box showing; more go to standard error, so that a
// storm of failures cannot bury the window under boxes.
constexpr std::size_t MaxWaitingErrors = 16;

} // namespace

TApplication::TApplication(std::unique_ptr<WindowBackend> backend, std::string exe_name)
    : m_backend(std::move(backend))
    , m_exe_name(std::move(exe_name))
    , m_gui_thread(std::this_thread::get_id())
{
    Application = this;
}

TApplication::~TApplication()
{
    m_terminated = true;
    m_destroying = true; // from here on errors go to standard error
    for (const std::string& message : std::exchange(m_waiting_errors, {}))
        WriteErrorToStandardError(message);
    // Components may stop threads that still hand work over (animations): while they go, the
    // GUI thread serves those calls through CheckSynchronize.
    DestroyComponents();
    // Threads still waiting for the GUI thread are released: their calls will not run.
    std::lock_guard lock(m_mutex);
    m_closed = true;
    for (auto& call : m_sync)
        call->done.set_value();
    m_sync.clear();
    Application = nullptr;
}

std::uint64_t TApplication::Now()
{
    using namespace std::chrono;
    return std::uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void TApplication::AttachForm(TForm* form)
{
    form->CreateWindow(*m_backend);
}

void TApplication::FormWindowCreated(TForm* form)
{
    if (m_main_form)
        return;
    m_main_form = form;
    if (!m_waiting_errors.empty()) {
        std::string first = std::move(m_waiting_errors.front());
        m_waiting_errors.pop_front();
        OpenErrorBox(first);
    }
}

std::string TApplication::Title() const
{
    std::string name = m_exe_name;
    std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    for (std::size_t i = 1; i < name.size(); ++i)
        name[i] = char(std::tolower(static_cast<unsigned char>(name[i])));
    return name;
}

std::string TApplication::ErrorBoxMessage(const std::string& message)
{
    std::string text = message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

std::string TApplication::ExceptionMessage(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return Utf8ToCp1251(e.what()); // library errors speak UTF-8
    } catch (...) {
        return "Unknown error";
    }
}

void TApplication::HandleException(std::exception_ptr error) noexcept
{
    std::string message;
    try {
        message = ExceptionMessage(error);
    } catch (...) {
        message = "Out of memory"; // the text could not even be copied
    }
    ShowErrorMessage(message);
}

bool TApplication::CanShowErrorBox() const
{
    return !m_destroying && !m_error_box_failed;
}

bool TApplication::ErrorBoxShowing() const
{
    return m_main_form && m_main_form->ErrorBox();
}

void TApplication::ShowErrorMessage(const std::string& message) noexcept
{
    try {
        std::string text = ErrorBoxMessage(message);
        if (!CanShowErrorBox()) {
            m_backend->ErrorReported(Cp1251ToUtf8(Title()), Cp1251ToUtf8(text));
            WriteErrorToStandardError(text);
            return;
        }
        // One user action that fails the same way many times (a timer, a repeating paint) gives
        // one box.
        const TErrorBox* showing = m_main_form ? m_main_form->ErrorBox() : nullptr;
        if ((showing && showing->Message() == text)
            || std::find(m_waiting_errors.begin(), m_waiting_errors.end(), text) != m_waiting_errors.end())
            return;
        m_backend->ErrorReported(Cp1251ToUtf8(Title()), Cp1251ToUtf8(text));
        if (showing || !m_main_form) {
            if (m_waiting_errors.size() < MaxWaitingErrors)
                m_waiting_errors.push_back(text);
            else
                WriteErrorToStandardError(text);
            return;
        }
        OpenErrorBox(text);
    } catch (...) {
        WriteErrorToStandardError(message);
    }
}

void TApplication::OpenErrorBox(const std::string& message) noexcept
{
    try {
        Size window { m_main_form->Width(), m_main_form->Height() };
        m_main_form->ShowErrorBox(std::make_unique<TErrorBox>(Title(), message, window));
    } catch (...) {
        // No box can be laid out (no fonts): this message and the later ones go to standard error.
        WriteErrorToStandardError(message);
        ErrorBoxFailed();
    }
}

void TApplication::ErrorBoxClosed() noexcept
{
    if (m_waiting_errors.empty() || !m_main_form || !CanShowErrorBox())
        return;
    std::string next = std::move(m_waiting_errors.front());
    m_waiting_errors.pop_front();
    OpenErrorBox(next);
}

void TApplication::ErrorBoxFailed() noexcept
{
    m_error_box_failed = true;
    if (const TErrorBox* showing = m_main_form ? m_main_form->ErrorBox() : nullptr)
        WriteErrorToStandardError(showing->Message());
    for (const std::string& message : std::exchange(m_waiting_errors, {}))
        WriteErrorToStandardError(message);
    if (m_main_form)
        m_main_form->CloseErrorBox();
}

void TApplication::WriteErrorToStandardError(const std::string& message) const noexcept
{
    try {
        std::fprintf(stderr, "%s: %s\n", Cp1251ToUtf8(Title()).c_str(), Cp1251ToUtf8(message).c_str());
    } catch (...) {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
    std::fflush(stderr);
}

void TApplication::Run()
{
    while (!m_terminated)
        Step(-1);
}

void TApplication::RunFor(int ms)
{
    std::uint64_t end = Now() + std::uint64_t(std::max(ms, 0));
    for (;;) {
        std::uint64_t now = Now();
        if (m_terminated || now >= end) {
            ProcessMessages();
            return;
        }
        Step(int(end - now));
    }
}

void TApplication::ProcessMessages()
{
    Step(0);
}

void TApplication::Terminate()
{
    m_terminated = true;
    m_backend->Wake();
}

void TApplication::Minimize()
{
    m_backend->Minimize();
}

void TApplication::Step(int max_wait_ms)
{
    RunPending();
    if (m_terminated)
        return;
    WindowEvent event;
    if (m_backend->WaitEvent(event, MillisecondsToNextDeadline(max_wait_ms))) {
        Guard([&] { Dispatch(event); });
        // Take what else is waiting before painting again.
        while (!m_terminated && m_backend->WaitEvent(event, 0))
            Guard([&] { Dispatch(event); });
    }
    RunPending();
}

void TApplication::RunPending()
{
    RunPosted();
    FireTimers();
    Guard([&] { UpdateHint(); });
    if (m_main_form)
        Guard([&] { m_main_form->PaintInvalid(); });
}

int TApplication::MillisecondsToNextDeadline(int limit) const
{
    std::uint64_t now = Now();
    std::int64_t wait = limit;
    auto consider = [&](std::uint64_t due) {
        std::int64_t until = due > now ? std::int64_t(std::min<std::uint64_t>(due - now, 1u << 30)) : 0;
        if (wait < 0 || until < wait)
            wait = until;
    };
    for (TTimer* timer : m_timers)
        consider(timer->Due());
    if (m_hint_control && !m_hint_shown)
        consider(m_hint_show_at);
    if (m_hint_shown)
        consider(m_hint_hide_at);
    return int(wait);
}

void TApplication::Dispatch(const WindowEvent& event)
{
    using Type = WindowEvent::Type;
    switch (event.type) {
    case Type::Close:
        Terminate();
        return;
    case Type::Minimize:
        m_minimized = true;
        CancelHint();
        for (TApplicationEvents* events : std::vector<TApplicationEvents*>(m_events))
            if (events->OnMinimize)
                Guard([&] { events->OnMinimize(events); });
        return;
    case Type::Restore:
        if (!m_minimized)
            return;
        m_minimized = false;
        for (TApplicationEvents* events : std::vector<TApplicationEvents*>(m_events))
            if (events->OnRestore)
                Guard([&] { events->OnRestore(events); });
        return;
    case Type::Wake:
        return;
    default:
        if (m_main_form)
            m_main_form->HandleEvent(event);
    }
}

void TApplication::Post(std::function<void()> work)
{
    // Woken under the lock, so that the application cannot be gone before Wake returns.
    std::lock_guard lock(m_mutex);
    m_posted.push_back(std::move(work));
    m_backend->Wake();
}

void TApplication::Synchronize(std::function<void()> work)
{
    if (IsGuiThread()) {
        work();
        return;
    }
    auto call = std::make_shared<SyncCall>();
    call->work = std::move(work);
    std::future<void> done = call->done.get_future();
    {
        std::lock_guard lock(m_mutex);
        if (m_closed)
            return;
        m_sync.push_back(call);
        m_backend->Wake(); // under the lock: the GUI thread cannot run the call (and go) before
    }
    done.get(); // raises the call's exception here
}

bool TApplication::CheckSynchronize()
{
    std::deque<std::shared_ptr<SyncCall>> calls;
    {
        std::lock_guard lock(m_mutex);
        calls.swap(m_sync);
    }
    for (auto& call : calls) {
        try {
            call->work();
            call->done.set_value();
        } catch (...) {
            // Shown here, like any error on the GUI thread, and raised again in the waiting
            // thread so that it can stop what it was doing.
            HandleException(std::current_exception());
            call->done.set_exception(std::current_exception());
        }
    }
    return !calls.empty();
}

void TApplication::RunPosted()
{
    CheckSynchronize();
    std::deque<std::function<void()>> posted;
    {
        std::lock_guard lock(m_mutex);
        posted.swap(m_posted);
    }
    for (auto& work : posted)
        Guard(work);
}

void TApplication::AddTimer(TTimer* timer)
{
    if (std::find(m_timers.begin(), m_timers.end(), timer) == m_timers.end())
        m_timers.push_back(timer);
}

void TApplication::RemoveTimer(TTimer* timer)
{
    std::erase(m_timers, timer);
}

void TApplication::FireTimers()
{
    std::uint64_t now = Now();
    for (TTimer* timer : std::vector<TTimer*>(m_timers)) {
        // A handler may stop or free another timer: fire only those still registered.
        if (std::find(m_timers.begin(), m_timers.end(), timer) == m_timers.end())
            continue;
        if (timer->Enabled() && timer->Due() <= now)
            Guard([&] { timer->Fire(now); });
    }
}

void TApplication::AddEvents(TApplicationEvents* events)
{
    m_events.push_back(events);
}

void TApplication::RemoveEvents(TApplicationEvents* events)
{
    std::erase(m_events, events);
}

void TApplication::PointerMoved()
{
    if (!m_main_form)
        return;
    TControl* control = m_main_form->HoverControl();
    if (control == m_hint_control || (control && control == m_hint_expired))
        return;
    m_hint_expired = nullptr;
    bool was_shown = m_hint_shown;
    CancelHint();
    if (control && control->ShowHint() && !control->Hint().empty()) {
        m_hint_control = control;
        m_hint_show_at = Now() + std::uint64_t(was_shown ? HintShortPause : HintPause);
    }
}

void TApplication::CancelHint()
{
    m_hint_control = nullptr;
    if (m_hint_shown && m_main_form)
        m_main_form->HideHintWindow();
    m_hint_shown = false;
}

void TApplication::ActivateHint()
{
    if (!m_main_form)
        return;
    CancelHint();
    TControl* control = m_main_form->HoverControl();
    if (!control || !control->ShowHint() || control->Hint().empty())
        return;
    m_hint_control = control;
    m_hint_show_at = Now();
    UpdateHint();
}

void TApplication::UpdateHint()
{
    if (!m_main_form || !m_hint_control)
        return;
    std::uint64_t now = Now();
    auto* control = static_cast<TControl*>(m_hint_control);
    if (!m_hint_shown && now >= m_hint_show_at) {
        Point mouse = m_main_form->MousePosition();
        m_main_form->ShowHintWindow(control->Hint(), { mouse.x, mouse.y + 20 });
        m_hint_shown = true;
        m_hint_hide_at = now + std::uint64_t(HintHidePause);
    } else if (m_hint_shown && now >= m_hint_hide_at) {
        // Shown long enough: not again until the pointer moves to another control.
        m_main_form->HideHintWindow();
        m_hint_shown = false;
        m_hint_expired = m_hint_control;
        m_hint_control = nullptr;
    }
}

std::string TApplication::CurrentHint() const
{
    return m_main_form ? m_main_form->HintWindowText() : std::string();
}

TApplicationEvents::TApplicationEvents(TComponent* owner)
    : TComponent(owner)
{
    if (Application)
        Application->AddEvents(this);
}

TApplicationEvents::~TApplicationEvents()
{
    if (Application)
        Application->RemoveEvents(this);
}
