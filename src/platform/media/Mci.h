#pragma once

#include "platform/PixelBuffer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// The media device layer's shared vocabulary: the flag words, modes, capability and time-format
// numbers, notices and result codes of the platform's Media Control Interface, which the media
// player keeps and shows as they are. The commands themselves are the typed calls of
// MciDevices.h; our devices serve them over FFmpeg's libraries (decoding) and SDL (sound).
// Playback runs on the device's own thread and reports back by posting notices to a registered
// window.
//
// "Windows" here are registrations made with MciCreateWindow: a notice callback and a frame sink.
// The layer knows nothing of controls; a control registers itself and forwards what it receives to
// its own thread.

using MciDeviceId = std::uint16_t;
using MciWindow = std::uintptr_t; // 0: none (for MCI_WINDOW: the device's default window)
using MciError = std::uint32_t;   // 0: success

// Flags every command understands.
constexpr std::uint32_t MCI_NOTIFY = 0x1;
constexpr std::uint32_t MCI_WAIT = 0x2;
constexpr std::uint32_t MCI_FROM = 0x4;
constexpr std::uint32_t MCI_TO = 0x8;

// MCI_OPEN.
constexpr std::uint32_t MCI_OPEN_SHAREABLE = 0x100;
constexpr std::uint32_t MCI_OPEN_ELEMENT = 0x200;
constexpr std::uint32_t MCI_OPEN_ALIAS = 0x400;
constexpr std::uint32_t MCI_OPEN_TYPE_ID = 0x1000;
constexpr std::uint32_t MCI_OPEN_TYPE = 0x2000;

// MCI_SEEK.
constexpr std::uint32_t MCI_SEEK_TO_START = 0x100;
constexpr std::uint32_t MCI_SEEK_TO_END = 0x200;

// MCI_STATUS and MCI_GETDEVCAPS: the item is named by a flag of its own.
constexpr std::uint32_t MCI_STATUS_ITEM = 0x100;
constexpr std::uint32_t MCI_GETDEVCAPS_ITEM = 0x100;

// Modes reported by the mode status item.
constexpr std::uint32_t MCI_MODE_NOT_READY = 524;
constexpr std::uint32_t MCI_MODE_STOP = 525;
constexpr std::uint32_t MCI_MODE_PLAY = 526;
constexpr std::uint32_t MCI_MODE_RECORD = 527;
constexpr std::uint32_t MCI_MODE_SEEK = 528;
constexpr std::uint32_t MCI_MODE_PAUSE = 529;
constexpr std::uint32_t MCI_MODE_OPEN = 530;

// Device types reported by the device-type capability item.
constexpr std::uint32_t MCI_DEVTYPE_VCR = 513;
constexpr std::uint32_t MCI_DEVTYPE_VIDEODISC = 514;
constexpr std::uint32_t MCI_DEVTYPE_OVERLAY = 515;
constexpr std::uint32_t MCI_DEVTYPE_CD_AUDIO = 516;
constexpr std::uint32_t MCI_DEVTYPE_DAT = 517;
constexpr std::uint32_t MCI_DEVTYPE_SCANNER = 518;
constexpr std::uint32_t MCI_DEVTYPE_ANIMATION = 519;
constexpr std::uint32_t MCI_DEVTYPE_DIGITAL_VIDEO = 520;
constexpr std::uint32_t MCI_DEVTYPE_OTHER = 521;
constexpr std::uint32_t MCI_DEVTYPE_WAVEFORM_AUDIO = 522;
constexpr std::uint32_t MCI_DEVTYPE_SEQUENCER = 523;

// MCI_SET and time formats.
constexpr std::uint32_t MCI_SET_DOOR_OPEN = 0x100;
constexpr std::uint32_t MCI_SET_DOOR_CLOSED = 0x200;
constexpr std::uint32_t MCI_SET_TIME_FORMAT = 0x400;
constexpr std::uint32_t MCI_FORMAT_MILLISECONDS = 0;
constexpr std::uint32_t MCI_FORMAT_FRAMES = 3;
constexpr std::uint32_t MCI_FORMAT_TMSF = 10;

// Digital-video extensions: step, window, put, where.
constexpr std::uint32_t MCI_DGV_STEP_REVERSE = 0x10000;
constexpr std::uint32_t MCI_DGV_STEP_FRAMES = 0x20000;
constexpr std::uint32_t MCI_DGV_WINDOW_HWND = 0x10000;
constexpr std::uint32_t MCI_DGV_RECT = 0x10000;
constexpr std::uint32_t MCI_DGV_PUT_SOURCE = 0x20000;
constexpr std::uint32_t MCI_DGV_PUT_DESTINATION = 0x40000;
constexpr std::uint32_t MCI_DGV_WHERE_SOURCE = 0x20000;
constexpr std::uint32_t MCI_DGV_WHERE_DESTINATION = 0x40000;

// The notice posted to a command's callback window, with its outcome codes.
constexpr std::uint32_t MM_MCINOTIFY = 0x3B9;
constexpr std::uint32_t MCI_NOTIFY_SUCCESSFUL = 1;
constexpr std::uint32_t MCI_NOTIFY_SUPERSEDED = 2;
constexpr std::uint32_t MCI_NOTIFY_ABORTED = 4;
constexpr std::uint32_t MCI_NOTIFY_FAILURE = 8;

// Result codes (texts: MciGetErrorString).
constexpr MciError MCIERR_BASE = 256;
constexpr MciError MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
constexpr MciError MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
constexpr MciError MCIERR_HARDWARE = MCIERR_BASE + 6;
constexpr MciError MCIERR_INVALID_DEVICE_NAME = MCIERR_BASE + 7;
constexpr MciError MCIERR_OUT_OF_MEMORY = MCIERR_BASE + 8;
constexpr MciError MCIERR_CANNOT_LOAD_DRIVER = MCIERR_BASE + 10;
constexpr MciError MCIERR_DRIVER_INTERNAL = MCIERR_BASE + 16;
constexpr MciError MCIERR_MISSING_PARAMETER = MCIERR_BASE + 17;
constexpr MciError MCIERR_UNSUPPORTED_FUNCTION = MCIERR_BASE + 18;
constexpr MciError MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
constexpr MciError MCIERR_DEVICE_NOT_READY = MCIERR_BASE + 20;
constexpr MciError MCIERR_INTERNAL = MCIERR_BASE + 21;
constexpr MciError MCIERR_EXTENSION_NOT_FOUND = MCIERR_BASE + 25;
constexpr MciError MCIERR_OUTOFRANGE = MCIERR_BASE + 26;
constexpr MciError MCIERR_FLAGS_NOT_COMPATIBLE = MCIERR_BASE + 28;
constexpr MciError MCIERR_BAD_TIME_FORMAT = MCIERR_BASE + 37;
constexpr MciError MCIERR_INVALID_FILE = MCIERR_BASE + 40;
constexpr MciError MCIERR_NULL_PARAMETER_BLOCK = MCIERR_BASE + 41;
constexpr MciError MCIERR_NONAPPLICABLE_FUNCTION = MCIERR_BASE + 46;
constexpr MciError MCIERR_FILENAME_REQUIRED = MCIERR_BASE + 48;
constexpr MciError MCIERR_MISSING_DEVICE_NAME = MCIERR_BASE + 36;
constexpr MciError MCIERR_NO_WINDOW = MCIERR_BASE + 90;
constexpr MciError MCIERR_FILE_READ = MCIERR_BASE + 92;
// Errors of our video device (the range the platform leaves to drivers).
constexpr MciError MCIERR_CUSTOM_DRIVER_BASE = MCIERR_BASE + 256;
constexpr MciError MCIERR_CLIP_TRUNCATED = MCIERR_CUSTOM_DRIVER_BASE + 1;
constexpr MciError MCIERR_CLIP_NO_PICTURE = MCIERR_CUSTOM_DRIVER_BASE + 2;
constexpr MciError MCIERR_CLIP_EMPTY = MCIERR_CUSTOM_DRIVER_BASE + 3;

// The text of a result code, copied into `buffer` (cut to fit, always NUL-terminated). False when
// the code has no text or the buffer cannot hold any.
bool MciGetErrorString(MciError error, char* buffer, std::size_t size);

// MCI_PUT and MCI_WHERE rectangles are origin plus extent: `right` and `bottom` hold the width
// and the height.
struct MciRect {
    int left;
    int top;
    int right;
    int bottom;
};

// A picture a device delivers to its display window: a decoded picture and the destination
// rectangle it is to be scaled to, in the window's client coordinates, which are its pixels. The
// device may have taken the first step of the scaling already (`prepared`: the picture at the
// rectangle's size, or at the size the window shows that rectangle on a scaled screen); the thread
// that draws it does the rest, straight into the window's or the screen's pixels.
class MciPictureScaler;
struct MciFrame {
    std::shared_ptr<const struct AVFrame> picture;
    std::shared_ptr<const struct AVFrame> prepared; // or null
    int left { 0 };
    int top { 0 };
    int width { 0 };
    int height { 0 };
    int index { 0 }; // the frame's number in the clip

    // Draws the picture scaled to its rectangle moved by `offset`, within `clip` (target
    // coordinates).
    void Draw(MciPictureScaler& scaler, PixelBuffer& target, Point offset, Rect clip) const;
    // Draws the picture scaled to `area` (target coordinates), within `clip`: where the window is
    // shown scaled, straight at the screen's resolution.
    void DrawAt(MciPictureScaler& scaler, PixelBuffer& target, Rect area, Rect clip) const;
    // The picture at its rectangle's size, made on first use (tests, state dumps).
    const PixelBuffer& Pixels() const;

private:
    mutable std::once_flag m_pixels_made;
    mutable PixelBuffer m_pixels;
};
using MciFramePtr = std::shared_ptr<const MciFrame>;

struct MciWindowCallbacks {
    // A completion notice (MM_MCINOTIFY): the outcome code and the device. Called on a device's
    // thread or the commanding thread; it must hand the notice on and return, never wait for the
    // thread that sends commands.
    std::function<void(std::uint32_t code, MciDeviceId device)> notify {};
    // The picture to show, or null: show nothing of the device any more. Same rules as `notify`.
    std::function<void(MciFramePtr frame)> frame {};
    // How many screen pixels the window shows per pixel of its own (a window shown scaled on a
    // high-density screen): the device prepares its pictures at that size, so that they are scaled
    // once. Called on a device's thread; empty: 1.
    std::function<double()> pixel_scale {};
};

// Registers a window; its handle is never 0 and never reused.
MciWindow MciCreateWindow(MciWindowCallbacks callbacks);
// Unregisters a window. When it returns, none of its callbacks runs or will run again.
void MciDestroyWindow(MciWindow window);
