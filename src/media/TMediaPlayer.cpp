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
        [weak, application](std::uint32_t code, MciDeviceId) {
            std::shared_ptr<Mailbox> mailbox = weak.lock();
            if (!mailbox || !application)
                return;
            // The notice is a posted message: handled on the GUI thread in message order.
            application->Post([mailbox, code] {
                if (mailbox->owner)
                    mailbox->owner->MMNotify(code);
            });
        },
        nullptr,
    });
}

TMediaPlayer::~TMediaPlayer()
{
    if (m_mci_device != 0)
        MciSendCommand(m_mci_device, MCI_CLOSE, MCI_WAIT, nullptr);
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

MciError TMediaPlayer::Send(std::uint32_t command, void* params)
{
    m_last_error = MciSendCommand(m_mci_device, command, m_flags, params);
    return m_last_error;
}

void TMediaPlayer::Open()
{
    MCI_OPEN_PARMS parms {};
    if (m_is_open)
        Close();
    parms.dwCallback = 0;
    parms.lpstrDeviceType = kDeviceTypeNames[m_device_type];
    parms.lpstrElementName = m_file_name.c_str();
    m_flags = DefaultFlags();
    if (m_device_type != dtAutoSelect)
        m_flags |= MCI_OPEN_TYPE;
    else
        m_flags |= MCI_OPEN_ELEMENT;
    if (m_shareable)
        m_flags |= MCI_OPEN_SHAREABLE;
    parms.dwCallback = m_handle;
    m_last_error = MciSendCommand(0, MCI_OPEN, m_flags, &parms);
    if (m_last_error != 0)
        throw EMCIDeviceError(ErrorText());
    m_is_open = true;
    m_mci_device = MciDeviceId(parms.wDeviceID);
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
    auto query = [&](std::uint32_t item) {
        MCI_GETDEVCAPS_PARMS parms {};
        parms.dwItem = item;
        m_flags = MCI_GETDEVCAPS_ITEM | MCI_WAIT;
        Send(MCI_GETDEVCAPS, &parms);
        return parms.dwReturn;
    };
    m_features = 0;
    m_supports_play = query(MCI_GETDEVCAPS_CAN_PLAY) != 0;
    m_supports_record = query(MCI_GETDEVCAPS_CAN_RECORD) != 0;
    m_supports_eject = query(MCI_GETDEVCAPS_CAN_EJECT) != 0;
    m_supports_video = query(MCI_GETDEVCAPS_HAS_VIDEO) != 0;
    std::uint32_t type = query(MCI_GETDEVCAPS_DEVICE_TYPE);
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

    MCI_DGV_RECT_PARMS where {};
    m_flags = MCI_DGV_WHERE_SOURCE;
    Send(MCI_WHERE, &where);
    m_picture_width = where.rc.right - where.rc.left;
    m_picture_height = where.rc.bottom - where.rc.top;
}

void TMediaPlayer::SetTimeFormat(std::uint32_t format)
{
    MCI_SET_PARMS parms {};
    parms.dwCallback = m_handle;
    parms.dwTimeFormat = format;
    m_flags = MCI_NOTIFY | MCI_SET_TIME_FORMAT;
    Send(MCI_SET, &parms);
}

void TMediaPlayer::Close()
{
    if (m_mci_device == 0)
        return;
    MCI_GENERIC_PARMS parms { m_handle };
    m_flags = DefaultFlags();
    if (Send(MCI_CLOSE, &parms) == 0) {
        m_is_open = false;
        m_mci_device = 0;
    }
}

void TMediaPlayer::Play()
{
    CheckIfOpen();
    if (m_auto_rewind && !m_play_from_set && !m_play_to_set && Position() == Length())
        Rewind();
    SendPlayback(MCI_PLAY);
}

void TMediaPlayer::Record()
{
    CheckIfOpen();
    SendPlayback(MCI_RECORD);
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
void TMediaPlayer::SendPlayback(std::uint32_t command)
{
    MCI_PLAY_PARMS parms {}; // the record block has the same shape: callback, from, to
    parms.dwCallback = m_handle;
    m_flags = PlaybackFlags(true);
    if (m_play_from_set) {
        m_flags |= MCI_FROM;
        parms.dwFrom = std::uint32_t(m_play_from);
    }
    if (m_play_to_set) {
        m_flags |= MCI_TO;
        parms.dwTo = std::uint32_t(m_play_to);
    }
    m_play_from_set = false;
    m_play_to_set = false;
    Send(command, &parms);
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
    MCI_GENERIC_PARMS parms { m_handle };
    m_flags = DefaultFlags();
    Send(MCI_PAUSE, &parms);
}

void TMediaPlayer::Resume()
{
    CheckIfOpen();
    MCI_GENERIC_PARMS parms { m_handle };
    m_flags = PlaybackFlags(false);
    if (Send(MCI_RESUME, &parms) != 0) {
        Play(); // a device that cannot resume starts playing instead (and spends the overrides)
        return;
    }
    PlaybackFlags(true);
}

void TMediaPlayer::Stop()
{
    CheckIfOpen();
    MCI_GENERIC_PARMS parms { m_handle };
    m_flags = DefaultFlags();
    Send(MCI_STOP, &parms);
}

void TMediaPlayer::Step()
{
    CheckIfOpen();
    if (!m_supports_video)
        return;
    if (m_auto_rewind && Position() == Length())
        Rewind();
    MCI_DGV_STEP_PARMS parms {};
    parms.dwCallback = m_handle;
    parms.dwFrames = std::uint32_t(m_step_frames);
    m_flags = DefaultFlags() | MCI_DGV_STEP_FRAMES;
    Send(MCI_STEP, &parms);
}

void TMediaPlayer::Back()
{
    CheckIfOpen();
    if (!m_supports_video)
        return;
    MCI_DGV_STEP_PARMS parms {};
    parms.dwCallback = m_handle;
    parms.dwFrames = std::uint32_t(m_step_frames);
    m_flags = DefaultFlags() | MCI_DGV_STEP_FRAMES | MCI_DGV_STEP_REVERSE;
    Send(MCI_STEP, &parms);
}

void TMediaPlayer::Rewind()
{
    CheckIfOpen();
    MCI_SEEK_PARMS parms {};
    parms.dwCallback = m_handle;
    // The result is not kept: Play and Step go on whatever the seek did.
    MciSendCommand(m_mci_device, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &parms);
}

void TMediaPlayer::Next()
{
    CheckIfOpen();
    if (StatusItem(MCI_STATUS_TIME_FORMAT) == MCI_FORMAT_TMSF) {
        std::uint32_t tracks = StatusItem(MCI_STATUS_NUMBER_OF_TRACKS);
        std::uint32_t track = (std::uint32_t(Position()) & 0xFF) + 1;
        SeekToTrack(track > tracks ? tracks : track);
        return;
    }
    MCI_SEEK_PARMS parms {};
    parms.dwCallback = m_handle;
    m_flags = DefaultFlags() | MCI_SEEK_TO_END;
    Send(MCI_SEEK, &parms);
}

void TMediaPlayer::Previous()
{
    CheckIfOpen();
    if (StatusItem(MCI_STATUS_TIME_FORMAT) == MCI_FORMAT_TMSF) {
        std::uint32_t track = std::uint32_t(Position()) & 0xFF;
        SeekToTrack(track > 1 ? track - 1 : 1);
        return;
    }
    MCI_SEEK_PARMS parms {};
    parms.dwCallback = m_handle;
    m_flags = DefaultFlags() | MCI_SEEK_TO_START;
    Send(MCI_SEEK, &parms);
}

// By track: on to the given one, playing on when the device played.
void TMediaPlayer::SeekToTrack(std::uint32_t track)
{
    bool playing = Mode() == dmPlaying;
    MCI_SEEK_PARMS parms {};
    parms.dwCallback = m_handle;
    parms.dwTo = MakeTmsf(track);
    m_flags = DefaultFlags() | MCI_TO;
    Send(MCI_SEEK, &parms);
    if (playing)
        Play();
}

void TMediaPlayer::Eject()
{
    CheckIfOpen();
    if (!m_supports_eject)
        return;
    MCI_SET_PARMS parms {};
    parms.dwCallback = m_handle;
    m_flags = DefaultFlags() | MCI_SET_DOOR_OPEN;
    Send(MCI_SET, &parms);
}

int TMediaPlayer::Position()
{
    return int(StatusItem(MCI_STATUS_POSITION));
}

void TMediaPlayer::SetPosition(int position)
{
    CheckIfOpen();
    MCI_SEEK_PARMS parms {};
    parms.dwCallback = m_handle;
    parms.dwTo = std::uint32_t(position);
    m_flags = DefaultFlags() | MCI_TO;
    Send(MCI_SEEK, &parms);
}

int TMediaPlayer::Length()
{
    CheckIfOpen();
    return int(StatusItem(MCI_STATUS_LENGTH));
}

TMPModes TMediaPlayer::Mode()
{
    // With nothing open the command fails and returns no mode: report "not ready", so that a
    // caller waiting for stopped or paused never takes a closed player for either.
    std::uint32_t value = StatusItem(MCI_STATUS_MODE);
    if (m_last_error != 0)
        return dmNotReady;
    auto mode = std::uint8_t(std::uint8_t(value & 0xFF) - 12);
    return mode <= dmOpen ? TMPModes(mode) : dmNotReady;
}

// One status item, waited for; 0 when the device refuses (the error is in m_last_error).
std::uint32_t TMediaPlayer::StatusItem(std::uint32_t item)
{
    MCI_STATUS_PARMS parms {};
    parms.dwItem = item;
    m_flags = MCI_STATUS_ITEM | MCI_WAIT;
    Send(MCI_STATUS, &parms);
    return std::uint32_t(parms.dwReturn);
}

Rect TMediaPlayer::DisplayArea()
{
    if (!m_is_open || !m_supports_video)
        return {};
    MCI_DGV_RECT_PARMS parms {};
    m_flags = MCI_DGV_WHERE_DESTINATION;
    Send(MCI_WHERE, &parms);
    return { parms.rc.left, parms.rc.top, parms.rc.right, parms.rc.bottom };
}

void TMediaPlayer::SetDisplayArea(Rect area)
{
    if (!m_is_open || !m_supports_video)
        return;
    MCI_DGV_RECT_PARMS parms {};
    parms.dwCallback = m_handle;
    if (area.right == 0 && area.bottom == 0)
        area = { area.left, area.top, m_picture_width, m_picture_height };
    // Sent as it stands: the device reads the third and fourth values as width and height.
    parms.rc = { area.left, area.top, area.right, area.bottom };
    m_flags = MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT;
    Send(MCI_PUT, &parms);
}

void TMediaPlayer::SetDisplay(TWinControl* display)
{
    if (display && m_is_open && m_supports_video) {
        MCI_DGV_WINDOW_PARMS parms {};
        parms.dwCallback = m_handle;
        parms.hWnd = DisplayHandle(display);
        m_flags = MCI_DGV_WINDOW_HWND | MCI_WAIT;
        if (Send(MCI_WINDOW, &parms) == 0) {
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
        MCI_DGV_WINDOW_PARMS parms {};
        parms.hWnd = 0;
        m_flags = MCI_DGV_WINDOW_HWND | MCI_WAIT;
        Send(MCI_WINDOW, &parms);
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
