// The table of open devices behind the typed commands: identifiers, opening by file type, and the
// dispatch of each command to its device.
#include "platform/media/MciDevices.h"

#include "platform/DiscPath.h"
#include "platform/media/MciVideoDevice.h"
#include "platform/media/MciWindowRegistry.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <string_view>

namespace {

std::mutex s_devices_lock;
std::map<MciDeviceId, std::shared_ptr<MciVideoDevice>> s_devices;
MciDeviceId s_last_id = 0;

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

// Device types our video device answers to, by the name given when opening.
bool IsVideoDeviceType(std::string_view name)
{
    std::string lower = Lower(name);
    return lower == "mpegvideo" || lower == "digitalvideo" || lower == "avivideo";
}

// Whether a device plays files of this type, by the file's extension. The device then goes by
// what the file holds, whatever its name says.
bool HasDeviceForFile(std::string_view element)
{
    std::size_t slash = element.find_last_of("\\/");
    std::string_view name = slash == std::string_view::npos ? element : element.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    std::string extension = Lower(name.substr(dot + 1));
    for (const char* known : { "mpg", "mpeg", "mpe", "m1v", "m2v", "mpv", "vob", "dat", "mp4", "m4v", "mov", "mkv", "ts",
             "avi", "wmv", "asf", "mp3", "wav" }) {
        if (extension == known)
            return true;
    }
    return false;
}

// The next free identifier; 0 is never one.
MciDeviceId NextDeviceId()
{
    for (int tries = 0; tries < 0xFFFF; ++tries) {
        s_last_id = MciDeviceId(s_last_id + 1);
        if (s_last_id == 0 || s_last_id == 0xFFFF)
            continue;
        if (!s_devices.contains(s_last_id))
            return s_last_id;
    }
    return 0;
}

std::shared_ptr<MciVideoDevice> Find(MciDeviceId id)
{
    std::lock_guard guard(s_devices_lock);
    auto it = s_devices.find(id);
    return it == s_devices.end() ? nullptr : it->second;
}

template<typename Call>
MciError Dispatch(MciDeviceId id, Call call)
{
    std::shared_ptr<MciVideoDevice> device = Find(id);
    if (!device)
        return MCIERR_INVALID_DEVICE_ID;
    return call(*device);
}

} // namespace

namespace Mci {

MciError Open(const MciOpenRequest& request, MciCompletion completion, MciDeviceId& id)
{
    if (!request.device_type.empty() && !IsVideoDeviceType(request.device_type))
        return MCIERR_INVALID_DEVICE_NAME;
    if (request.element.empty())
        return request.device_type.empty() ? MCIERR_MISSING_DEVICE_NAME : MCIERR_FILENAME_REQUIRED;
    if (request.device_type.empty() && !HasDeviceForFile(request.element))
        return MCIERR_EXTENSION_NOT_FOUND;

    std::unique_ptr<MciVideoDevice> device;
    MciDeviceId reserved;
    {
        std::lock_guard guard(s_devices_lock);
        reserved = NextDeviceId();
        if (reserved == 0)
            return MCIERR_OUT_OF_MEMORY;
        s_devices.emplace(reserved, nullptr); // reserved while the file is opened
    }
    MciError result = MciVideoDevice::Open(ResolveDiscPath(request.element), reserved, device);
    {
        std::lock_guard guard(s_devices_lock);
        if (result) {
            s_devices.erase(reserved);
        } else {
            s_devices[reserved] = std::shared_ptr<MciVideoDevice>(std::move(device));
            id = reserved;
        }
    }
    if (result == 0 && completion.notify)
        MciWindowRegistry::PostNotify(completion.notify, MCI_NOTIFY_SUCCESSFUL, id);
    return result;
}

MciError Close(MciDeviceId id, MciCompletion completion)
{
    std::shared_ptr<MciVideoDevice> closing;
    {
        std::lock_guard guard(s_devices_lock);
        auto it = s_devices.find(id);
        if (it == s_devices.end() || !it->second)
            return MCIERR_INVALID_DEVICE_ID;
        closing = std::move(it->second);
        s_devices.erase(it);
    }
    closing->Shut();
    if (completion.notify)
        MciWindowRegistry::PostNotify(completion.notify, MCI_NOTIFY_SUCCESSFUL, id);
    return 0;
}

MciError Play(MciDeviceId id, std::optional<std::uint32_t> from, std::optional<std::uint32_t> to, MciCompletion completion)
{
    return Dispatch(id, [&](MciVideoDevice& device) { return device.Play(from, to, completion); });
}

MciError Record(MciDeviceId id, std::optional<std::uint32_t>, std::optional<std::uint32_t>, MciCompletion)
{
    return Dispatch(id, [](MciVideoDevice&) { return MCIERR_UNSUPPORTED_FUNCTION; });
}

MciError Pause(MciDeviceId id, MciCompletion completion)
{
    return Dispatch(id, [&](MciVideoDevice& device) { return device.Pause(completion); });
}

MciError Resume(MciDeviceId id, MciCompletion completion)
{
    return Dispatch(id, [&](MciVideoDevice& device) { return device.Resume(completion); });
}

MciError Stop(MciDeviceId id, MciCompletion completion)
{
    return Dispatch(id, [&](MciVideoDevice& device) { return device.Stop(completion); });
}

MciError Seek(MciDeviceId id, MciSeek how, std::uint32_t to, MciCompletion completion)
{
    return Dispatch(id, [&](MciVideoDevice& device) { return device.Seek(how, to, completion); });
}

MciError Step(MciDeviceId id, MciStepDirection direction, std::uint32_t frames, MciCompletion completion)
{
    return Dispatch(id, [&](MciVideoDevice& device) { return device.Step(direction, frames, completion); });
}

MciError Status(MciDeviceId id, MciItem item, std::uint32_t& value)
{
    return Dispatch(id, [&](MciVideoDevice& device) { return device.Status(item, value); });
}

MciError Capability(MciDeviceId id, MciCapability item, std::uint32_t& value)
{
    return Dispatch(id, [&](MciVideoDevice& device) { return device.Capability(item, value); });
}

MciError SetTimeFormat(MciDeviceId id, std::uint32_t format, MciCompletion completion)
{
    return Dispatch(id, [&](MciVideoDevice& device) { return device.SetTimeFormat(format, completion); });
}

MciError SetDoor(MciDeviceId id, bool, MciCompletion)
{
    return Dispatch(id, [](MciVideoDevice&) { return MCIERR_UNSUPPORTED_FUNCTION; });
}

MciError SetWindow(MciDeviceId id, MciWindow window, MciCompletion completion)
{
    return Dispatch(id, [&](MciVideoDevice& device) { return device.SetWindow(window, completion); });
}

MciError PutDestination(MciDeviceId id, std::optional<MciRect> rect, MciCompletion completion)
{
    return Dispatch(id, [&](MciVideoDevice& device) { return device.PutDestination(rect, completion); });
}

MciError Where(MciDeviceId id, MciRectKind kind, MciRect& rect)
{
    return Dispatch(id, [&](MciVideoDevice& device) { return device.Where(kind, rect); });
}

} // namespace Mci

bool MciGetPlaybackStats(MciDeviceId id, MciPlaybackStats& stats)
{
    std::shared_ptr<MciVideoDevice> device = Find(id);
    if (!device)
        return false;
    stats = device->Stats();
    return true;
}

int MciOpenDeviceCount()
{
    std::lock_guard guard(s_devices_lock);
    return int(s_devices.size());
}
