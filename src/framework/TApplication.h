#pragma once

#include "framework/TComponent.h"
#include "platform/WindowBackend.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TForm;
class TTimer;
class TApplicationEvents;

// The application object: the message loop on the GUI thread, posted work and calls synchronised
// from other threads, timers, hints, the error box for failures that leave event handlers.
class TApplication : public TComponent {
public:
    // `exe_name` is the program file's name; the title is derived from it.
    TApplication(std::unique_ptr<WindowBackend> backend, std::string exe_name);
    ~TApplication() override;

    WindowBackend& Backend() { return *m_backend; }

    // Creates a form owned by the application and its window; the first becomes the main form.
    template<typename T, typename... Args>
    T* CreateForm(Args&&... args)
    {
        T* form = Create<T>("", std::forward<Args>(args)...);
        AttachForm(form);
        return form;
    }
    TForm* MainForm() const { return m_main_form; }
    // The first form that makes its window becomes the main form; errors reported before it was
    // there show now.
    void FormWindowCreated(TForm* form);

    // The program file's name up to its first full stop, the first character kept and the rest in
    // lower case.
    std::string Title() const;

    // Runs the message loop until Terminate.
    void Run();
    // Runs the loop for `ms` milliseconds of real time (or until Terminate).
    void RunFor(int ms);
    // Handles what is pending (events, posted work, due timers, painting) without waiting.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return m_terminated; }
    void Minimize();

    // Runs `handler`; an exception that leaves it (of any type) is shown in the error box and the
    // loop goes on.
    template<typename F>
    void Guard(F&& handler)
    {
        try {
            handler();
        } catch (...) {
            HandleException(std::current_exception());
        }
    }
    // Shows the exception's message in the error box, titled with Title().
    void HandleException(std::exception_ptr error) noexcept;
    // Shows a Windows-1251 message in the error box. The box is drawn over the main window, one at
    // a time: a message that arrives while one shows waits for it to close, unless the same text
    // is showing or waiting already. Before the main window exists messages wait for it; when no
    // box can be drawn at all they go to standard error, so that none is lost.
    void ShowErrorMessage(const std::string& message) noexcept;
    // The message of an exception of any type, in Windows-1251.
    static std::string ExceptionMessage(std::exception_ptr error);
    // The error box's message: the exception's text with a full stop added when its last
    // character sorts above ".".
    static std::string ErrorBoxMessage(const std::string& message);
    bool ErrorBoxShowing() const;
    // Messages waiting for the box showing to close.
    std::size_t ErrorsWaiting() const { return m_waiting_errors.size(); }
    // The main form closed its box: the next waiting message shows.
    void ErrorBoxClosed() noexcept;
    // The main form could not draw its box: that message and every later one go to standard error.
    void ErrorBoxFailed() noexcept;

    // Thread-safe: `work` runs later on the GUI thread.
    void Post(std::function<void()> work);
    // From another thread: runs `work` on the GUI thread and waits for it (its exception is raised
    // again here). On the GUI thread: runs it at once.
    void Synchronize(std::function<void()> work);
    // Runs the synchronised calls that are waiting; GUI thread only.
    bool CheckSynchronize();
    bool IsGuiThread() const { return std::this_thread::get_id() == m_gui_thread; }

    void AddTimer(TTimer* timer);
    void RemoveTimer(TTimer* timer);
    void TimerScheduled() { m_backend->Wake(); }
    static std::uint64_t Now(); // milliseconds

    void AddEvents(TApplicationEvents* events);
    void RemoveEvents(TApplicationEvents* events);

    // Hints: shown HintPause ms after the pointer comes to rest on a control with a hint, hidden
    // after HintHidePause ms or when the pointer leaves the control.
    int HintPause { 500 };
    int HintShortPause { 50 };
    int HintHidePause { 2500 };
    void PointerMoved();
    void CancelHint();
    // Shows the hint of the control under the pointer now (a control that changes its hint while
    // the pointer is on it calls this).
    void ActivateHint();
    std::string CurrentHint() const;

    int ScreenPixelsPerInch() const { return m_backend->ScreenPixelsPerInch(); }

private:
    void AttachForm(TForm* form);
    void Step(int max_wait_ms);
    // Posted work and synchronised calls, due timers, the hint, painting: each guarded.
    void RunPending();
    void Dispatch(const WindowEvent& event);
    bool CanShowErrorBox() const;
    void OpenErrorBox(const std::string& message) noexcept;
    void WriteErrorToStandardError(const std::string& message) const noexcept;
    void RunPosted();
    void FireTimers();
    void UpdateHint();
    int MillisecondsToNextDeadline(int limit) const;

    struct SyncCall {
        std::function<void()> work;
        std::promise<void> done;
    };

    std::unique_ptr<WindowBackend> m_backend;
    std::string m_exe_name;
    TForm* m_main_form { nullptr };
    std::thread::id m_gui_thread;
    std::atomic<bool> m_terminated { false }; // read by threads waiting to synchronise
    bool m_minimized { false };
    bool m_destroying { false };
    bool m_error_box_failed { false }; // the box cannot be drawn: messages go to standard error
    std::deque<std::string> m_waiting_errors;

    std::mutex m_mutex; // guards m_posted, m_sync and m_closed
    bool m_closed { false }; // the application is going: no more synchronised calls
    std::deque<std::function<void()>> m_posted;
    std::deque<std::shared_ptr<SyncCall>> m_sync;

    std::vector<TTimer*> m_timers;
    std::vector<TApplicationEvents*> m_events;

    TObject* m_hint_control { nullptr };
    TObject* m_hint_expired { nullptr };
    std::uint64_t m_hint_show_at { 0 };
    std::uint64_t m_hint_hide_at { 0 };
    bool m_hint_shown { false };
};

extern TApplication* Application;

// Application-wide events a form can bind: restore from the minimised state.
class TApplicationEvents : public TComponent {
public:
    explicit TApplicationEvents(TComponent* owner);
    ~TApplicationEvents() override;
    TNotifyEvent OnRestore;
    TNotifyEvent OnMinimize;
};
