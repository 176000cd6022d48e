#include "framework/TTimer.h"

#include "framework/TApplication.h"

TTimer::TTimer(TComponent* owner)
    : TComponent(owner)
{
    Schedule();
}

TTimer::~TTimer()
{
    if (Application)
        Application->RemoveTimer(this);
}

void TTimer::SetInterval(int ms)
{
    m_interval = ms;
    Schedule();
}

void TTimer::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    Schedule();
}

void TTimer::Schedule()
{
    if (!Application)
        return;
    if (m_enabled && m_interval > 0) {
        m_due = TApplication::Now() + std::uint64_t(m_interval);
        Application->AddTimer(this);
        Application->TimerScheduled();
    } else {
        Application->RemoveTimer(this);
    }
}

void TTimer::Fire(std::uint64_t now)
{
    m_due = now + std::uint64_t(m_interval);
    if (OnTimer)
        OnTimer(this);
}
