#pragma once

#include "platform/media/Mci.h"

#include <cstdint>
#include <optional>
#include <string>

// The commands of the media devices, one typed call each. A device is named by the identifier its
// open returned; a call to an identifier that names no open device (0 among them) fails with
// MCIERR_INVALID_DEVICE_ID. Every call returns 0 or an MCIERR_ code and may come from any thread;
// a device carries out one command at a time.

// How a command completes. With `wait` the call returns once the command has been carried out;
// for a play, once that playback has ended or been interrupted. `notify` names the window that is
// told the outcome by a notice (0: none). A playback that a later command interrupts is told
// "superseded" when that command asks for a notice itself, "aborted" otherwise.
struct MciCompletion {
    bool wait { false };
    MciWindow notify { 0 };
};

struct MciOpenRequest {
    std::string device_type; // empty: chosen by the element's file type
    std::string element;     // the file: a disc path, Windows-1251
    bool shareable { false };
};

enum class MciSeek { ToStart, ToEnd, To };
enum class MciStepDirection { Forward, Reverse };
enum class MciRectKind { Source, Destination };

// Status items, numbered as the platform numbers them.
enum class MciItem : std::uint32_t {
    Length = 1,
    Position = 2,
    NumberOfTracks = 3,
    Mode = 4, // MCI_MODE_NOT_READY ... MCI_MODE_OPEN
    MediaPresent = 5,
    TimeFormat = 6,
    Ready = 7,
    CurrentTrack = 8,
};

// Capability items, numbered as the platform numbers them.
enum class MciCapability : std::uint32_t {
    CanRecord = 1,
    HasAudio = 2,
    HasVideo = 3,
    DeviceType = 4, // MCI_DEVTYPE_...
    UsesFiles = 5,
    CompoundDevice = 6,
    CanEject = 7,
    CanPlay = 8,
    CanSave = 9,
};

namespace Mci {

MciError Open(const MciOpenRequest& request, MciCompletion completion, MciDeviceId& device);
MciError Close(MciDeviceId device, MciCompletion completion);

// Plays from `from` (default: the position) to `to` (default: the end), in the time format's units.
MciError Play(MciDeviceId device, std::optional<std::uint32_t> from, std::optional<std::uint32_t> to, MciCompletion completion);
MciError Record(MciDeviceId device, std::optional<std::uint32_t> from, std::optional<std::uint32_t> to, MciCompletion completion);
MciError Pause(MciDeviceId device, MciCompletion completion);
MciError Resume(MciDeviceId device, MciCompletion completion);
MciError Stop(MciDeviceId device, MciCompletion completion);
// `to` counts only with MciSeek::To.
MciError Seek(MciDeviceId device, MciSeek how, std::uint32_t to, MciCompletion completion);
MciError Step(MciDeviceId device, MciStepDirection direction, std::uint32_t frames, MciCompletion completion);

MciError Status(MciDeviceId device, MciItem item, std::uint32_t& value);
MciError Capability(MciDeviceId device, MciCapability item, std::uint32_t& value);
MciError SetTimeFormat(MciDeviceId device, std::uint32_t format, MciCompletion completion);
MciError SetDoor(MciDeviceId device, bool open, MciCompletion completion);

// The window the device shows its pictures in (0: its default window, which shows nothing).
MciError SetWindow(MciDeviceId device, MciWindow window, MciCompletion completion);
// Where in that window the pictures go; none: at the picture's own size at (0, 0).
MciError PutDestination(MciDeviceId device, std::optional<MciRect> rect, MciCompletion completion);
MciError Where(MciDeviceId device, MciRectKind kind, MciRect& rect);

} // namespace Mci

// Figures a device gathers while it plays, for tests and benchmarks.
struct MciPlaybackStats {
    int frames_shown { 0 };
    int frames_late { 0 };    // shown more than 20 ms after their time
    int frames_dropped { 0 }; // skipped to catch up
    int frames_early { 0 };   // shown before their time (must stay 0)
    double max_late_ms { 0 };
    double max_av_offset_ms { 0 }; // largest distance between the sound and the picture shown
    bool has_audio { false };
};
// False when the device is not open.
bool MciGetPlaybackStats(MciDeviceId device, MciPlaybackStats& stats);
// How many devices are open, in this process.
int MciOpenDeviceCount();
