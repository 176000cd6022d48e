#include "platform/media/Mci.h"

#include <algorithm>
#include <cstring>

namespace {

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
