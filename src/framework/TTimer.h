#pragma once

#include "framework/TComponent.h"

#include <cstdint>

// A window timer: OnTimer runs on the GUI thread every Interval milliseconds while Enabled.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    int Interval() const { return m_interval; }
    void SetInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    TNotifyEvent OnTimer;

    // Used by the application's loop.
    std::uint64_t Due() const { return m_due; }
    void Fire(std::uint64_t now);

private:
    void Schedule();

    int m_interval { 1000 };
    bool m_enabled { true };
    std::uint64_t m_due { 0 };
};
