#pragma once

#include "platform/media/ClipDecoder.h"
#include "platform/media/MciAudioOutput.h"
#include "platform/media/MciDevices.h"
#include "platform/media/MciPictureScaler.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// One open clip on a digital-video device. Commands arrive on any thread, one at a time
// (MciVideoDevice.cpp); the device's own thread owns the decoder: it plays the clip picture by
// picture on the clock, serves the seeks and re-renderings that commands ask for, and delivers
// pictures to the display window (MciDeviceThread.cpp). Sound runs on the audio device's thread,
// slaved to the same clock.
class MciVideoDevice {
public:
    using Clock = std::chrono::steady_clock;

    // Opens the clip and decodes its first picture; on failure returns the MCIERR_ code and leaves
    // `device` empty.
    static MciError Open(const std::filesystem::path& file, MciDeviceId id, std::unique_ptr<MciVideoDevice>& device);
    ~MciVideoDevice();
    MciVideoDevice(const MciVideoDevice&) = delete;
    MciVideoDevice& operator=(const MciVideoDevice&) = delete;

    MciError Play(std::optional<std::uint32_t> from, std::optional<std::uint32_t> to, MciCompletion completion);
    MciError Pause(MciCompletion completion);
    MciError Resume(MciCompletion completion);
    MciError Stop(MciCompletion completion);
    MciError Seek(MciSeek how, std::uint32_t to, MciCompletion completion);
    MciError Step(MciStepDirection direction, std::uint32_t frames, MciCompletion completion);
    MciError Status(MciItem item, std::uint32_t& value);
    MciError Capability(MciCapability item, std::uint32_t& value);
    MciError SetTimeFormat(std::uint32_t format, MciCompletion completion);
    MciError SetWindow(MciWindow window, MciCompletion completion);
    MciError PutDestination(std::optional<MciRect> rect, MciCompletion completion);
    MciError Where(MciRectKind kind, MciRect& rect);

    // Stops the device for good: playback ends (its pending notice is aborted), the thread exits,
    // the display window is told to show nothing of the device.
    void Shut();
    MciPlaybackStats Stats();

private:
    enum class Mode { Stopped, Playing, Paused };
    enum class Job { None, Seek, Refresh };
    struct Notice {
        MciWindow window;
        std::uint32_t code;
    };
    using Lock = std::unique_lock<std::mutex>;
    // What a command holds while it runs: both locks, and the notices to post once they are let go.
    struct Command;

    explicit MciVideoDevice(MciDeviceId id);
    static void Post(const std::vector<Notice>& notices, MciDeviceId id);
    template<typename Body>
    MciError Run(MciCompletion completion, Body body);

    // Command side (m_lock held).
    int Length() const { return m_decoder.Length(); }
    void RunJob(Lock& lock, Job job, int target, MciWindow old_window = 0);
    void MoveTo(Lock& lock, int target);
    void StartPlay(int to, bool to_end, MciCompletion completion);
    // Where the playing range ends: the clip's end as it is known now (a scan may still be
    // counting), or the given end.
    int PlayTo() const { return m_to_end ? Length() : m_play_to; }
    void EndPlay(std::vector<Notice>& notices, std::uint32_t code);
    void StopPlay();
    void TakeNotice(std::vector<Notice>& notices, MciCompletion completion);
    std::uint32_t ToUnits(int frames) const;
    int ToFrames(std::uint32_t value) const;
    Clock::time_point Due(double media_time) const;
    double ClockTime(Clock::time_point now) const;

    // The device's thread.
    void RunThread();
    void ServeJob(Job job, int target, MciWindow old_window);
    void PlayStep(Lock& lock, std::vector<Notice>& notices);
    bool PlaySoundTail(Lock& lock);
    void ShowNext(Lock& lock);
    std::shared_ptr<const AVFrame> CurrentPicture();
    MciFramePtr MakeFrame(const std::shared_ptr<const AVFrame>& picture, MciRect dest, int index, MciWindow window);

    const MciDeviceId m_id;
    ClipDecoder m_decoder; // the device thread's, once it runs
    std::unique_ptr<MciAudioOutput> m_audio;
    int m_width { 0 };
    int m_height { 0 };

    std::mutex m_command_lock; // one command at a time
    std::mutex m_lock;         // everything below, shared with the device thread
    std::condition_variable m_wake; // to the device thread
    std::condition_variable m_done; // from the device thread
    bool m_quit { false };
    bool m_shut { false };
    Job m_job { Job::None };
    int m_job_target { 0 };
    MciWindow m_job_old_window { 0 };
    double m_job_time { 0 }; // the clip time of the picture a seek job arrived at
    std::uint64_t m_job_serial { 0 };
    std::uint64_t m_job_done { 0 };
    std::uint64_t m_play_serial { 0 }; // changes whenever playback starts, stops or moves
    Mode m_mode { Mode::Stopped };
    int m_position { 0 };
    double m_position_time { 0 }; // the clip time the position stands at
    int m_play_to { 0 };
    bool m_to_end { true };
    double m_anchor_time { 0 };   // the clock: clip time m_anchor_time was due at m_anchor_wall
    Clock::time_point m_anchor_wall;
    MciWindow m_notify_window { 0 }; // the pending playback notice's window (0: none pending)
    bool m_picture_stale { false };  // the window shows an earlier picture than the position's
    std::uint32_t m_time_format { MCI_FORMAT_FRAMES };
    MciWindow m_window { 0 };
    MciRect m_dest { 0, 0, 0, 0 }; // origin and extent
    MciPlaybackStats m_stats;

    // The device thread's own.
    std::shared_ptr<const AVFrame> m_shown; // the picture in the window
    MciPictureScaler m_resizer;             // the first step of scaling pictures for the window
    int m_ahead_index { -1 };     // the decoder's current picture, decoded and not yet shown
    double m_ahead_time { 0 };    // and its clip time
    // It made ready for the window, right after decoding while it is in the processor's caches,
    // for the window and destination it was made for.
    std::shared_ptr<const AVFrame> m_ahead_picture;
    MciFramePtr m_ahead_frame;
    MciWindow m_ahead_window { 0 };
    MciRect m_ahead_dest { 0, 0, 0, 0 };
    bool m_pictures_ended { false }; // the decoder has no picture after m_ahead_index
    bool m_sound_ended { false };    // nor sound after what it decoded

    std::thread m_thread;
};
