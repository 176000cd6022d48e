#include "imaging/GifGuiBridge.h"

#include "framework/TApplication.h"
#include "platform/Clock.h"

namespace GifGuiBridge {

void Synchronize(const std::function<void()>& call)
{
    // Without an application object (a tool drawing off-screen) there is no other thread to
    // hand over to: the caller's thread is the GUI thread.
    if (Application)
        Application->Synchronize(call);
    else
        call();
}

void ServicePending()
{
    if (Application && Application->IsGuiThread())
        Application->CheckSynchronize();
}

void ProcessMessages()
{
    if (Application && Application->IsGuiThread())
        Application->ProcessMessages();
}

std::uint32_t Now()
{
    return TimeGetTime();
}

} // namespace GifGuiBridge
