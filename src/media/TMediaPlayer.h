#pragma once

#include "framework/TWinControl.h"
#include "media/EMCIDeviceError.h"
#include "platform/media/MciDevices.h"

#include <cstdint>
#include <memory>
#include <string>

// Device kinds, in order, each with the type name sent when opening it (dtAutoSelect: none; the
// platform picks the device by the file's type).
enum TMPDeviceTypes {
    dtAutoSelect,
    dtAVIVideo,
    dtCDAudio,
    dtDAT,
    dtDigitalVideo,
    dtMMMovie,
    dtOther,
    dtOverlay,
    dtScanner,
    dtSequencer,
    dtVCR,
    dtVideodisc,
    dtWaveAudio,
};

// The device's mode, in the platform's order.
enum TMPModes : std::uint8_t { dmNotReady, dmStopped, dmPlaying, dmRecording, dmSeeking, dmPaused, dmOpen };

// The mode's name as written in the code ("dmPlaying", ...), for state dumps.
const char* ModeName(TMPModes mode);

// Outcome of the last completion notice.
enum TMPNotifyValues { noticeSuccessful, noticeSuperseded, noticeAborted, noticeFailure };

// Capability bits of Features().
enum TMPDevCaps { capStep, capEject, capPlay, capRecord, capWindow };

// Drives one multimedia device through the media control commands: opens a clip, points its video
// at a display window, plays, pauses, resumes, steps and closes it. Every operation sends its
// commands from the GUI thread; the player's own window receives the device's completion notices.
// The control is never shown (its button bar is not built).
class TMediaPlayer : public TWinControl {
public:
    explicit TMediaPlayer(TComponent* owner);
    ~TMediaPlayer() override;

    // Published properties.
    const std::string& FileName() const { return m_file_name; }
    void SetFileName(std::string file_name) { m_file_name = std::move(file_name); }
    TMPDeviceTypes DeviceType() const { return m_device_type; }
    void SetDeviceType(TMPDeviceTypes type) { m_device_type = type; }
    TWinControl* Display() const { return m_display; }
    void SetDisplay(TWinControl* display);
    bool Shareable() const { return m_shareable; }
    void SetShareable(bool shareable) { m_shareable = shareable; }
    bool AutoRewind() const { return m_auto_rewind; }
    void SetAutoRewind(bool auto_rewind) { m_auto_rewind = auto_rewind; }
    bool AutoOpen() const { return m_auto_open; }
    void SetAutoOpen(bool auto_open) { m_auto_open = auto_open; }
    bool AutoEnable() const { return m_auto_enable; }
    void SetAutoEnable(bool auto_enable) { m_auto_enable = auto_enable; }

    // Device state.
    MciDeviceId DeviceID() const { return m_mci_device; }
    bool IsOpen() const { return m_is_open; }
    std::uint32_t CommandFlags() const { return m_flags; }
    MciError LastError() const { return m_last_error; }
    int StepFrames() const { return m_step_frames; }
    void SetStepFrames(int frames) { m_step_frames = frames; }
    bool SupportsPlay() const { return m_supports_play; }
    bool SupportsRecord() const { return m_supports_record; }
    bool SupportsEject() const { return m_supports_eject; }
    bool SupportsVideo() const { return m_supports_video; }
    bool SupportsStep() const { return m_supports_step; }
    unsigned Features() const { return m_features; } // bit (1 << cap) per TMPDevCaps
    bool HasFeature(TMPDevCaps cap) const { return (m_features >> cap) & 1; }
    int PictureWidth() const { return m_picture_width; }
    int PictureHeight() const { return m_picture_height; }
    TMPNotifyValues LastNotice() const { return m_last_notice; }

    // One-shot overrides for the next command: synchronous sending, completion notice, start and
    // end of the next play.
    void SetWait(bool wait);
    void SetNotify(bool notify);
    void SetFrom(int from);
    void SetTo(int to);

    void Open();
    void Close();
    void Play();
    void Pause();
    void PausePlayback();
    void Resume();
    void Stop();
    void Step();
    void Back();
    void Rewind();
    void Next();
    void Previous();
    void Record();
    void Eject();

    int Position();
    void SetPosition(int position);
    int Length();
    TMPModes Mode();
    // The destination rectangle as the device keeps it: origin and extent (right and bottom hold
    // the width and the height). Empty when nothing with video is open.
    Rect DisplayArea();
    void SetDisplayArea(Rect area);
    std::string ErrorText() const;

    // Opens the device when AutoOpen is set; called once the layout has set the properties.
    void Loaded();

    // The window handle the device posts its notices to.
    MciWindow Handle() const { return m_handle; }

    TNotifyEvent OnNotify;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    struct Mailbox;
    void CheckIfOpen() const;
    std::uint32_t PlaybackFlags(bool use_up);
    enum class Playback { Play, Record };
    void SendPlayback(Playback what);
    std::uint32_t DefaultFlags();
    // How the device completes a command sent with the flag word: waited for or not, and the
    // player's window told when MCI_NOTIFY is in it.
    MciCompletion CompletionOf(std::uint32_t flags) const;
    MciError Keep(MciError result);
    void GetDeviceCaps();
    void SetTimeFormat(std::uint32_t format);
    std::uint32_t StatusItem(MciItem item);
    void SeekToTrack(std::uint32_t track);
    void MMNotify(std::uint32_t code);

    std::string m_file_name;
    TMPDeviceTypes m_device_type { dtAutoSelect };
    TWinControl* m_display { nullptr };
    bool m_shareable { false };
    bool m_auto_rewind { true };
    bool m_auto_open { false };
    bool m_auto_enable { true };

    MciDeviceId m_mci_device { 0 };
    bool m_is_open { false };
    std::uint32_t m_flags { 0 };
    MciError m_last_error { 0 };
    int m_step_frames { 0 };
    bool m_supports_play { false };
    bool m_supports_record { false };
    bool m_supports_eject { false };
    bool m_supports_video { false };
    bool m_supports_step { false };
    unsigned m_features { 0 };
    int m_picture_width { 0 };
    int m_picture_height { 0 };
    bool m_wait_next { false };
    bool m_wait_override { false };
    bool m_notify_next { false };
    bool m_notify_override { false };
    int m_play_from { 0 };
    bool m_play_from_set { false };
    int m_play_to { 0 };
    bool m_play_to_set { false };
    TMPNotifyValues m_last_notice { noticeSuccessful };

    std::shared_ptr<Mailbox> m_mailbox;
    MciWindow m_handle { 0 };
};
