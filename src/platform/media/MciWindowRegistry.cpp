#include "platform/media/MciWindowRegistry.h"

#include <map>
#include <mutex>

namespace {

// A registered window. `call_lock` is held while one of its callbacks runs, so that destroying the
// window can wait for a call in progress and then forbid new ones.
struct Entry {
    MciWindowCallbacks callbacks;
    std::mutex call_lock;
    bool alive { true };
};

std::mutex s_lock;
std::map<MciWindow, std::shared_ptr<Entry>> s_windows;
MciWindow s_next_handle = 0x1000;

std::shared_ptr<Entry> Find(MciWindow window)
{
    std::lock_guard guard(s_lock);
    auto it = s_windows.find(window);
    return it == s_windows.end() ? nullptr : it->second;
}

} // namespace

MciWindow MciCreateWindow(MciWindowCallbacks callbacks)
{
    auto entry = std::make_shared<Entry>();
    entry->callbacks = std::move(callbacks);
    std::lock_guard guard(s_lock);
    MciWindow handle = s_next_handle++;
    s_windows.emplace(handle, std::move(entry));
    return handle;
}

void MciDestroyWindow(MciWindow window)
{
    std::shared_ptr<Entry> entry;
    {
        std::lock_guard guard(s_lock);
        auto it = s_windows.find(window);
        if (it == s_windows.end())
            return;
        entry = std::move(it->second);
        s_windows.erase(it);
    }
    std::lock_guard call(entry->call_lock);
    entry->alive = false;
}

namespace MciWindowRegistry {

bool Exists(MciWindow window)
{
    return Find(window) != nullptr;
}

void PostNotify(MciWindow window, std::uint32_t code, MciDeviceId device)
{
    auto entry = Find(window);
    if (!entry)
        return;
    std::lock_guard call(entry->call_lock);
    if (entry->alive && entry->callbacks.notify)
        entry->callbacks.notify(code, device);
}

void DeliverFrame(MciWindow window, MciFramePtr frame)
{
    auto entry = Find(window);
    if (!entry)
        return;
    std::lock_guard call(entry->call_lock);
    if (entry->alive && entry->callbacks.frame)
        entry->callbacks.frame(std::move(frame));
}

double PixelScale(MciWindow window)
{
    auto entry = Find(window);
    if (!entry)
        return 1;
    std::lock_guard call(entry->call_lock);
    if (!entry->alive || !entry->callbacks.pixel_scale)
        return 1;
    double scale = entry->callbacks.pixel_scale();
    return scale > 0 ? scale : 1;
}

} // namespace MciWindowRegistry
