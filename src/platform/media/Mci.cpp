#include "platform/media/Mci.h"

#include "platform/DiscPath.h"
#include "platform/media/MciVideoDevice.h"
#include "platform/media/MciWindowRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
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

// Device types our video device answers to, by the name given with MCI_OPEN_TYPE.
bool IsVideoDeviceType(std::string_view name)
{
    std::string lower = Lower(name);
    return lower == "mpegvideo" || lower == "digitalvideo" || lower == "avivideo";
}

// The device that plays a file, chosen by the file's extension (empty: none).
const char* DeviceTypeForFile(std::string_view element)
{
    std::size_t slash = element.find_last_of("\\/");
    std::string_view name = slash == std::string_view::npos ? element : element.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return nullptr;
    std::string extension = Lower(name.substr(dot + 1));
    for (const char* known : { "mpg", "mpeg", "mpe", "m1v", "m2v", "mpv", "vob", "dat", "mp4", "m4v", "mov", "mkv", "ts" }) {
        if (extension == known)
            return "MPEGVideo";
    }
    if (extension == "avi")
        return "AVIVideo";
    if (extension == "wmv" || extension == "asf")
        return "MPEGVideo";
    return nullptr;
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

MciError Open(std::uint32_t flags, MCI_OPEN_PARMS* params)
{
    if (!params)
        return MCIERR_NULL_PARAMETER_BLOCK;
    if (flags & (MCI_OPEN_TYPE_ID | MCI_OPEN_ALIAS))
        return MCIERR_UNSUPPORTED_FUNCTION;
    if (flags & MCI_OPEN_TYPE) {
        if (!params->lpstrDeviceType || !*params->lpstrDeviceType)
            return MCIERR_MISSING_DEVICE_NAME;
        if (!IsVideoDeviceType(params->lpstrDeviceType))
            return MCIERR_INVALID_DEVICE_NAME;
        if (!(flags & MCI_OPEN_ELEMENT))
            return MCIERR_FILENAME_REQUIRED; // our devices play files only
    }
    if (!(flags & MCI_OPEN_ELEMENT))
        return MCIERR_MISSING_DEVICE_NAME;
    if (!params->lpstrElementName || !*params->lpstrElementName)
        return MCIERR_FILENAME_REQUIRED;
    std::string_view element = params->lpstrElementName;
    if (!(flags & MCI_OPEN_TYPE) && !DeviceTypeForFile(element))
        return MCIERR_EXTENSION_NOT_FOUND;

    std::unique_ptr<MciVideoDevice> device;
    MciDeviceId id;
    {
        std::lock_guard guard(s_devices_lock);
        id = NextDeviceId();
        if (id == 0)
            return MCIERR_OUT_OF_MEMORY;
        s_devices.emplace(id, nullptr); // reserved while the file is opened
    }
    MciError result = MciVideoDevice::Open(ResolveDiscPath(element), id, device);
    std::lock_guard guard(s_devices_lock);
    if (result) {
        s_devices.erase(id);
        return result;
    }
    s_devices[id] = std::shared_ptr<MciVideoDevice>(std::move(device));
    params->wDeviceID = id;
    return 0;
}

std::shared_ptr<MciVideoDevice> Find(MciDeviceId id)
{
    std::lock_guard guard(s_devices_lock);
    auto it = s_devices.find(id);
    return it == s_devices.end() ? nullptr : it->second;
}

struct ErrorText {
    MciError code;
    const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    { MCIERR_INVALID_DEVICE_ID, "Invalid MCI device ID. Use the ID returned when opening the MCI device." },
    { MCIERR_UNRECOGNIZED_COMMAND, "The driver cannot recognize the specified command." },
    { MCIERR_HARDWARE, "There is a problem with your media device. Make sure it is working correctly." },
    { MCIERR_INVALID_DEVICE_NAME, "The specified device is not open or is not recognized by MCI." },
    { MCIERR_OUT_OF_MEMORY, "Your system does not have enough memory for this task." },
    { MCIERR_CANNOT_LOAD_DRIVER, "The specified device driver could not be loaded." },
    { MCIERR_DRIVER_INTERNAL, "The device driver has an internal problem." },
    { MCIERR_MISSING_PARAMETER, "The specified command requires a parameter. Please supply one." },
    { MCIERR_UNSUPPORTED_FUNCTION, "The MCI device you are using does not support the specified command." },
    { MCIERR_FILE_NOT_FOUND, "Cannot find the specified file. Make sure the path and filename are correct." },
    { MCIERR_DEVICE_NOT_READY, "The device driver is not ready." },
    { MCIERR_INTERNAL, "A problem occurred in initializing MCI." },
    { MCIERR_EXTENSION_NOT_FOUND, "The specified extension has no device type associated with it. Specify a device type." },
    { MCIERR_OUTOFRANGE, "The specified parameter is out of range for the specified command." },
    { MCIERR_FLAGS_NOT_COMPATIBLE, "The specified parameters cannot be used together." },
    { MCIERR_MISSING_DEVICE_NAME, "No device name was given. Specify a device or a file to open." },
    { MCIERR_BAD_TIME_FORMAT, "The specified value for the time format is invalid." },
    { MCIERR_INVALID_FILE, "The specified file cannot be played on the specified MCI device. The file may be corrupt, or not in the correct format." },
    { MCIERR_NULL_PARAMETER_BLOCK, "A null parameter block was passed to MCI." },
    { MCIERR_NONAPPLICABLE_FUNCTION, "The specified MCI command cannot be carried out in the device's present state." },
    { MCIERR_FILENAME_REQUIRED, "A file name is required for this device. Specify the file to open." },
    { MCIERR_NO_WINDOW, "There is no display window." },
    { MCIERR_FILE_READ, "A problem occurred in reading the specified file. Make sure the file is still present, or check your disk." },
    { MCIERR_CLIP_TRUNCATED, "The clip file is incomplete: it ends in the middle of its data. The file may have been cut short when it was copied." },
    { MCIERR_CLIP_NO_PICTURE, "The specified file holds no picture that can be played. The file may be corrupt, or not in the correct format." },
    { MCIERR_CLIP_EMPTY, "The specified file is empty." },
};

} // namespace

MciError MciSendCommand(MciDeviceId device, std::uint32_t command, std::uint32_t flags, void* params)
{
    if (command == MCI_OPEN)
        return Open(flags, static_cast<MCI_OPEN_PARMS*>(params));
    if (command == MCI_CLOSE) {
        if ((flags & MCI_NOTIFY) && !params)
            return MCIERR_NULL_PARAMETER_BLOCK;
        std::shared_ptr<MciVideoDevice> closing;
        {
            std::lock_guard guard(s_devices_lock);
            auto it = s_devices.find(device);
            if (it == s_devices.end() || !it->second)
                return MCIERR_INVALID_DEVICE_ID;
            closing = std::move(it->second);
            s_devices.erase(it);
        }
        closing->Shut();
        if (flags & MCI_NOTIFY)
            MciWindowRegistry::PostNotify(static_cast<MCI_GENERIC_PARMS*>(params)->dwCallback, MCI_NOTIFY_SUCCESSFUL, device);
        return 0;
    }
    std::shared_ptr<MciVideoDevice> target = Find(device);
    if (!target)
        return MCIERR_INVALID_DEVICE_ID;
    return target->Command(command, flags, params);
}

bool MciGetErrorString(MciError error, char* buffer, std::size_t size)
{
    if (!buffer || size == 0)
        return false;
    for (const ErrorText& entry : kErrorTexts) {
        if (entry.code == error) {
            std::size_t length = std::min(std::strlen(entry.text), size - 1);
            std::memcpy(buffer, entry.text, length);
            buffer[length] = '\0';
            return true;
        }
    }
    buffer[0] = '\0';
    return false;
}

bool MciGetPlaybackStats(MciDeviceId device, MciPlaybackStats& stats)
{
    std::shared_ptr<MciVideoDevice> target = Find(device);
    if (!target)
        return false;
    stats = target->Stats();
    return true;
}

int MciOpenDeviceCount()
{
    std::lock_guard guard(s_devices_lock);
    return int(s_devices.size());
}
