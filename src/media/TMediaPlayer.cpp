#include "media/TMediaPlayer.h"

#include "framework/TAnimate.h"
#include "framework/TApplication.h"

#include <array>

namespace {

constexpr const char* kDeviceTypeNames[] = { "", "AVIVideo", "CDAudio", "DAT", "DigitalVideo", "MMMovie", "Other",
    "Overlay", "Scanner", "Sequencer", "VCR", "Videodisc", "WaveAudio" };

// Tracks-minutes-seconds-frames positions: the track in the low byte.
constexpr std::uint32_t MakeTmsf(std::uint32_t track) { return track & 0xFF; }

// The media display window behind a control: a TAnimate's, else none (the device's default).
MciWindow DisplayHandle(TWinControl* control)
{
    auto* animate = dynamic_cast<TAnimate*>(control);
    return animate ? animate->Handle() : 0;
}

} // namespace

const char* ModeName(TMPModes mode)
{
    constexpr const char* names[] = { "dmNotReady", "dmStopped", "dmPlaying", "dmRecording", "dmSeeking", "dmPaused", "dmOpen" };
    return mode <= dmOpen ? names[mode] : "dmNotReady";
}

// Where notices from the device's thread wait for the GUI thread. `owner` is read and cleared on
// the GUI thread only.
struct TMediaPlayer::Mailbox {
    TMediaPlayer* owner { nullptr };
};

TMediaPlayer::TMediaPlayer(TComponent* owner)
    : TWinControl(owner)
    , m_mailbox(std::make_shared<Mailbox>())
{
    m_mailbox->owner = this;
    std::weak_ptr<Mailbox> weak = m_mailbox;
    TApplication* application = Application; // read here, on the GUI thread
    m_handle = MciCreateWindow({
        .notify = [weak, application](std::uint32_t code, MciDeviceId) {
            std::shared_ptr<Mailbox> mailbox = weak.lock();
            if (!mailbox || !application)
                return;
            // The notice is a posted message: handled on the GUI thread in message order.
            application->Post([mailbox, code] {
                if (mailbox->owner)
                    mailbox->owner->MMNotify(code);
            });
        },
    });
}

TMediaPlayer::~TMediaPlayer()
{
    if (m_mci_device != 0)
        Mci::Close(m_mci_device, CompletionOf(MCI_WAIT)); // flag word 2, result ignored
    MciDestroyWindow(m_handle);
    m_mailbox->owner = nullptr;
    if (m_display)
        m_display->RemoveFreeNotification(this);
}

void TMediaPlayer::SetWait(bool wait)
{
    m_wait_next = wait;
    m_wait_override = true;
}

void TMediaPlayer::SetNotify(bool notify)
{
    m_notify_next = notify;
    m_notify_override = true;
}

void TMediaPlayer::SetFrom(int from)
{
    m_play_from = from;
    m_play_from_set = true;
}

void TMediaPlayer::SetTo(int to)
{
    m_play_to = to;
    m_play_to_set = true;
}

void TMediaPlayer::CheckIfOpen() const
{
    if (!m_is_open)
        throw EMCIDeviceError("No MCI device open");
}

// Synchronous unless overridden, no notice unless asked for; the overrides are used up.
std::uint32_t TMediaPlayer::DefaultFlags()
{
    std::uint32_t flags = 0;
    if (!m_wait_override || m_wait_next)
        flags |= MCI_WAIT;
    if (m_notify_override && m_notify_next)
        flags |= MCI_NOTIFY;
    m_wait_override = false;
    m_notify_override = false;
    return flags;
}

MciCompletion TMediaPlayer::CompletionOf(std::uint32_t flags) const
{
    return { (flags & MCI_WAIT) != 0, (flags & MCI_NOTIFY) ? m_handle : MciWindow(0) };
}

MciError TMediaPlayer::Keep(MciError result)
{
    m_last_error = result;
    return result;
}

void TMediaPlayer::Open()
{
    if (m_is_open)
        Close();
    m_flags = DefaultFlags();
    if (m_device_type != dtAutoSelect)
        m_flags |= MCI_OPEN_TYPE;
    else
        m_flags |= MCI_OPEN_ELEMENT;
    if (m_shareable)
        m_flags |= MCI_OPEN_SHAREABLE;
    // The device type goes with MCI_OPEN_TYPE, the file with MCI_OPEN_ELEMENT.
    MciOpenRequest request;
    if (m_flags & MCI_OPEN_TYPE)
        request.device_type = kDeviceTypeNames[m_device_type];
    if (m_flags & MCI_OPEN_ELEMENT)
        request.element = m_file_name;
    request.shareable = (m_flags & MCI_OPEN_SHAREABLE) != 0;
    MciDeviceId device = 0;
    if (Keep(Mci::Open(request, CompletionOf(m_flags), device)) != 0)
        throw EMCIDeviceError(ErrorText());
    m_is_open = true;
    m_mci_device = device;
    m_step_frames = Length() / 10;
    GetDeviceCaps();
    if (m_supports_video) {
        SetDisplay(m_display);
        Rect area = DisplayArea();
        m_picture_width = area.right - area.left;
        m_picture_height = area.bottom - area.top;
    }
    if (m_device_type == dtCDAudio || m_device_type == dtVideodisc)
        SetTimeFormat(MCI_FORMAT_TMSF);
}

void TMediaPlayer::GetDeviceCaps()
{
    auto query = [&](MciCapability item) {
        std::uint32_t value = 0;
        m_flags = MCI_GETDEVCAPS_ITEM | MCI_WAIT;
        Keep(Mci::Capability(m_mci_device, item, value));
        return value;
    };
    m_features = 0;
    m_supports_play = query(MciCapability::CanPlay) != 0;
    m_supports_record = query(MciCapability::CanRecord) != 0;
    m_supports_eject = query(MciCapability::CanEject) != 0;
    m_supports_video = query(MciCapability::HasVideo) != 0;
    std::uint32_t type = query(MciCapability::DeviceType);
    m_supports_step = type == MCI_DEVTYPE_VCR || type == MCI_DEVTYPE_OVERLAY || type == MCI_DEVTYPE_ANIMATION
        || type == MCI_DEVTYPE_DIGITAL_VIDEO;
    if (m_supports_play)
        m_features |= 1u << capPlay;
    if (m_supports_record)
        m_features |= 1u << capRecord;
    if (m_supports_eject)
        m_features |= 1u << capEject;
    if (m_supports_video)
        m_features |= 1u << capWindow;
    if (m_supports_step)
        m_features |= 1u << capStep;

    MciRect source {};
    m_flags = MCI_DGV_WHERE_SOURCE;
    Keep(Mci::Where(m_mci_device, MciRectKind::Source, source));
    m_picture_width = source.right - source.left;
    m_picture_height = source.bottom - source.top;
}

void TMediaPlayer::SetTimeFormat(std::uint32_t format)
{
    m_flags = MCI_NOTIFY | MCI_SET_TIME_FORMAT;
    Keep(Mci::SetTimeFormat(m_mci_device, format, CompletionOf(m_flags)));
}

void TMediaPlayer::Close()
{
    if (m_mci_device == 0)
        return;
    m_flags = DefaultFlags();
    if (Keep(Mci::Close(m_mci_device, CompletionOf(m_flags))) == 0) {
        m_is_open = false;
        m_mci_device = 0;
    }
}

void TMediaPlayer::Play()
{
    CheckIfOpen();
    if (m_auto_rewind && !m_play_from_set && !m_play_to_set && Position() == Length())
        Rewind();
    SendPlayback(Playback::Play);
}

void TMediaPlayer::Record()
{
    CheckIfOpen();
    SendPlayback(Playback::Record);
}

// Asynchronous with a notice unless overridden; `use_up` spends the one-shot overrides.
std::uint32_t TMediaPlayer::PlaybackFlags(bool use_up)
{
    std::uint32_t flags = 0;
    if (!m_notify_override || m_notify_next)
        flags |= MCI_NOTIFY;
    if (m_wait_override && m_wait_next)
        flags |= MCI_WAIT;
    if (use_up)
        m_notify_override = m_wait_override = false;
    return flags;
}

// Play and record: the playback flags and the one-shot From and To, all used up.
void TMediaPlayer::SendPlayback(Playback what)
{
    m_flags = PlaybackFlags(true);
    std::optional<std::uint32_t> from;
    std::optional<std::uint32_t> to;
    if (m_play_from_set) {
        m_flags |= MCI_FROM;
        from = std::uint32_t(m_play_from);
    }
    if (m_play_to_set) {
        m_flags |= MCI_TO;
        to = std::uint32_t(m_play_to);
    }
    m_play_from_set = false;
    m_play_to_set = false;
    if (what == Playback::Play)
        Keep(Mci::Play(m_mci_device, from, to, CompletionOf(m_flags)));
    else
        Keep(Mci::Record(m_mci_device, from, to, CompletionOf(m_flags)));
}

void TMediaPlayer::Pause()
{
    CheckIfOpen();
    TMPModes mode = Mode();
    if (mode == dmPlaying)
        PausePlayback();
    else if (mode == dmPaused)
        Resume();
}

void TMediaPlayer::PausePlayback()
{
    CheckIfOpen();
    m_flags = DefaultFlags();
    Keep(Mci::Pause(m_mci_device, CompletionOf(m_flags)));
}

void TMediaPlayer::Resume()
{
    CheckIfOpen();
    m_flags = PlaybackFlags(false);
    if (Keep(Mci::Resume(m_mci_device, CompletionOf(m_flags))) != 0) {
        Play(); // a device that cannot resume starts playing instead (and spends the overrides)
        return;
    }
    PlaybackFlags(true);
}

void TMediaPlayer::Stop()
{
    CheckIfOpen();
    m_flags = DefaultFlags();
    Keep(Mci::Stop(m_mci_device, CompletionOf(m_flags)));
}

void TMediaPlayer::Step()
{
    CheckIfOpen();
    if (!m_supports_video)
        return;
    if (m_auto_rewind && Position() == Length())
        Rewind();
    m_flags = DefaultFlags() | MCI_DGV_STEP_FRAMES;
    Keep(Mci::Step(m_mci_device, MciStepDirection::Forward, std::uint32_t(m_step_frames), CompletionOf(m_flags)));
}

void TMediaPlayer::Back()
{
    CheckIfOpen();
    if (!m_supports_video)
        return;
    m_flags = DefaultFlags() | MCI_DGV_STEP_FRAMES | MCI_DGV_STEP_REVERSE;
    Keep(Mci::Step(m_mci_device, MciStepDirection::Reverse, std::uint32_t(m_step_frames), CompletionOf(m_flags)));
}

void TMediaPlayer::Rewind()
{
    CheckIfOpen();
    // Sent with MCI_SEEK_TO_START | MCI_WAIT. The result is not kept: Play and Step go on whatever
    // the seek did.
    Mci::Seek(m_mci_device, MciSeek::ToStart, 0, CompletionOf(MCI_SEEK_TO_START | MCI_WAIT));
}

void TMediaPlayer::Next()
{
    CheckIfOpen();
    if (StatusItem(MciItem::TimeFormat) == MCI_FORMAT_TMSF) {
        std::uint32_t tracks = StatusItem(MciItem::NumberOfTracks);
        std::uint32_t track = (std::uint32_t(Position()) & 0xFF) + 1;
        SeekToTrack(track > tracks ? tracks : track);
        return;
    }
    m_flags = DefaultFlags() | MCI_SEEK_TO_END;
    Keep(Mci::Seek(m_mci_device, MciSeek::ToEnd, 0, CompletionOf(m_flags)));
}

void TMediaPlayer::Previous()
{
    CheckIfOpen();
    if (StatusItem(MciItem::TimeFormat) == MCI_FORMAT_TMSF) {
        std::uint32_t track = std::uint32_t(Position()) & 0xFF;
        SeekToTrack(track > 1 ? track - 1 : 1);
        return;
    }
    m_flags = DefaultFlags() | MCI_SEEK_TO_START;
    Keep(Mci::Seek(m_mci_device, MciSeek::ToStart, 0, CompletionOf(m_flags)));
}

// By track: on to the given one, playing on when the device played.
void TMediaPlayer::SeekToTrack(std::uint32_t track)
{
    bool playing = Mode() == dmPlaying;
    m_flags = DefaultFlags() | MCI_TO;
    Keep(Mci::Seek(m_mci_device, MciSeek::To, MakeTmsf(track), CompletionOf(m_flags)));
    if (playing)
        Play();
}

void TMediaPlayer::Eject()
{
    CheckIfOpen();
    if (!m_supports_eject)
        return;
    m_flags = DefaultFlags() | MCI_SET_DOOR_OPEN;
    Keep(Mci::SetDoor(m_mci_device, true, CompletionOf(m_flags)));
}

int TMediaPlayer::Position()
{
    return int(StatusItem(MciItem::Position));
}

void TMediaPlayer::SetPosition(int position)
{
    CheckIfOpen();
    m_flags = DefaultFlags() | MCI_TO;
    Keep(Mci::Seek(m_mci_device, MciSeek::To, std::uint32_t(position), CompletionOf(m_flags)));
}

int TMediaPlayer::Length()
{
    CheckIfOpen();
    return int(StatusItem(MciItem::Length));
}

TMPModes TMediaPlayer::Mode()
{
    // With nothing open the command fails and returns no mode: report "not ready", so that a
    // caller waiting for stopped or paused never takes a closed player for either.
    std::uint32_t value = StatusItem(MciItem::Mode);
    if (m_last_error != 0)
        return dmNotReady;
    auto mode = std::uint8_t(std::uint8_t(value & 0xFF) - 12);
    return mode <= dmOpen ? TMPModes(mode) : dmNotReady;
}

// One status item, waited for; 0 when the device refuses (the error is in m_last_error).
std::uint32_t TMediaPlayer::StatusItem(MciItem item)
{
    std::uint32_t value = 0;
    m_flags = MCI_STATUS_ITEM | MCI_WAIT;
    Keep(Mci::Status(m_mci_device, item, value));
    return value;
}

Rect TMediaPlayer::DisplayArea()
{
    if (!m_is_open || !m_supports_video)
        return {};
    MciRect rect {};
    m_flags = MCI_DGV_WHERE_DESTINATION;
    Keep(Mci::Where(m_mci_device, MciRectKind::Destination, rect));
    return { rect.left, rect.top, rect.right, rect.bottom };
}

void TMediaPlayer::SetDisplayArea(Rect area)
{
    if (!m_is_open || !m_supports_video)
        return;
    if (area.right == 0 && area.bottom == 0)
        area = { area.left, area.top, m_picture_width, m_picture_height };
    // Sent as it stands: the device reads the third and fourth values as width and height.
    m_flags = MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT;
    Keep(Mci::PutDestination(m_mci_device, MciRect { area.left, area.top, area.right, area.bottom }, CompletionOf(m_flags)));
}

void TMediaPlayer::SetDisplay(TWinControl* display)
{
    if (display && m_is_open && m_supports_video) {
        m_flags = MCI_DGV_WINDOW_HWND | MCI_WAIT;
        if (Keep(Mci::SetWindow(m_mci_device, DisplayHandle(display), CompletionOf(m_flags))) == 0) {
            if (m_display && m_display != display)
                m_display->RemoveFreeNotification(this);
            m_display = display;
            display->FreeNotification(this);
        } else {
            if (m_display)
                m_display->RemoveFreeNotification(this);
            m_display = nullptr;
        }
        return;
    }
    if (m_display && m_display != display)
        m_display->RemoveFreeNotification(this);
    m_display = display;
    if (display)
        display->FreeNotification(this);
}

void TMediaPlayer::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    if (operation != TOperation::opRemove || component != m_display)
        return;
    if (m_is_open) {
        // The display goes: back to the device's default window.
        m_flags = MCI_DGV_WINDOW_HWND | MCI_WAIT;
        Keep(Mci::SetWindow(m_mci_device, 0, CompletionOf(m_flags)));
    }
    m_display = nullptr;
}

std::string TMediaPlayer::ErrorText() const
{
    std::array<char, 4096> text {};
    if (!MciGetErrorString(m_last_error, text.data(), text.size()))
        return "Unknown error code";
    return text.data();
}

void TMediaPlayer::MMNotify(std::uint32_t code)
{
    switch (code) {
    case MCI_NOTIFY_SUCCESSFUL:
        m_last_notice = noticeSuccessful;
        break;
    case MCI_NOTIFY_SUPERSEDED:
        m_last_notice = noticeSuperseded;
        break;
    case MCI_NOTIFY_ABORTED:
        m_last_notice = noticeAborted;
        break;
    case MCI_NOTIFY_FAILURE:
        m_last_notice = noticeFailure;
        break;
    default:
        break;
    }
    // The button bar would follow the mode here; this player has none.
    if (OnNotify)
        OnNotify(this);
}

void TMediaPlayer::Loaded()
{
    if (m_auto_open)
        Open();
}
