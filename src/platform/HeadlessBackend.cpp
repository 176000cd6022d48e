#include "platform/HeadlessBackend.h"

#include <chrono>
#include <utility>

void HeadlessBackend::Create(int width, int height, const std::string&)
{
    m_surface.Resize(width, height, 0xFF000000u);
    if (m_present_factor > 0) {
        m_scale = WindowScale(m_present_factor, { width, height });
        m_presented.Resize(m_scale.Device().width, m_scale.Device().height, 0xFF000000u);
    }
    m_created = true;
    // A window manager activates a window it shows.
    Inject({ .type = WindowEvent::Type::Activate });
}

void HeadlessBackend::Present(Rect dirty)
{
    // The pixels stay in the surface, where the harness and the tests read them; a screen picture
    // gets them scaled.
    if (m_presented.IsEmpty())
        return;
    m_scale.Scale(m_surface, dirty, m_presented);
    Rect clip = m_scale.DeviceArea(m_screen_area).Intersected(m_scale.ToDevice(dirty));
    if (m_screen_draw && m_scale.Factor() != 1 && !clip.IsEmpty())
        m_screen_draw(m_presented, {}, m_scale, clip);
}

bool HeadlessBackend::WaitEvent(WindowEvent& event, int timeout_ms)
{
    std::unique_lock lock(m_mutex);
    auto ready = [this] { return !m_events.empty() || m_woken; };
    if (timeout_ms < 0)
        m_wake.wait(lock, ready);
    else
        m_wake.wait_for(lock, std::chrono::milliseconds(timeout_ms), ready);
    if (!m_events.empty()) {
        event = m_events.front();
        m_events.pop_front();
        return true;
    }
    if (m_woken) {
        m_woken = false;
        event = { .type = WindowEvent::Type::Wake };
        return true;
    }
    return false;
}

void HeadlessBackend::Wake()
{
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_wake.notify_all();
}

void HeadlessBackend::Minimize()
{
    m_minimized = true;
    Inject({ .type = WindowEvent::Type::Minimize });
}

void HeadlessBackend::ErrorReported(const std::string& title_utf8, const std::string& message_utf8)
{
    std::lock_guard lock(m_mutex);
    m_error_boxes.push_back({ title_utf8, message_utf8 });
}

void HeadlessBackend::Inject(const WindowEvent& event)
{
    {
        std::lock_guard lock(m_mutex);
        if (event.type == WindowEvent::Type::Restore)
            m_minimized = false;
        m_events.push_back(event);
    }
    m_wake.notify_all();
}

std::vector<HeadlessBackend::ErrorBox> HeadlessBackend::TakeErrorBoxes()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_error_boxes, {});
}
