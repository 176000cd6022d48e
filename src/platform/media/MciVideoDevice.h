#pragma once

#include "platform/media/ClipDecoder.h"
#include "platform/media/Mci.h"
#include "platform/media/MciAudioOutput.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// One open clip on a digital-video device. Commands arrive on any thread, one at a time; the
// device's own thread owns the decoder: it plays the clip frame by frame on the clock, serves the
// seeks and re-renderings that commands ask for, and delivers pictures to the display window.
// Sound runs on the audio device's thread, slaved to the same clock.
class MciVideoDevice {
public:
    using Clock = std::chrono::steady_clock;

    // Opens the clip; on failure returns the MCIERR_ code and leaves `device` empty.
    static MciError Open(const std::filesystem::path& file, MciDeviceId id, std::unique_ptr<MciVideoDevice>& device);
    ~MciVideoDevice();
    MciVideoDevice(const MciVideoDevice&) = delete;
    MciVideoDevice& operator=(const MciVideoDevice&) = delete;

    MciError Command(std::uint32_t command, std::uint32_t flags, void* params);
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

    MciVideoDevice(MciDeviceId id);
    void Run();
    void ServeJob(Job job, int target, MciWindow old_window);
    bool Show(const AVFrame* frame, int index, Clock::time_point due);
    MciFramePtr RenderFrame(const AVFrame* frame, int index, MciRect dest);
    Clock::time_point Due(int frame) const;
    void RunJob(Lock& lock, Job job, int target, MciWindow old_window = 0);
    void StartPlay(Lock& lock, int to, MciWindow notify, std::uint32_t flags);
    void EndPlay(std::vector<Notice>& notices, std::uint32_t code);
    void StopPlay(std::vector<Notice>& notices);
    void TakeNotice(std::vector<Notice>& notices, std::uint32_t flags, MciWindow callback);
    std::uint32_t ToUnits(int frames) const;
    int ToFrames(std::uint32_t value) const;

    MciError Play(Lock& lock, std::uint32_t flags, MCI_PLAY_PARMS* params, std::vector<Notice>& notices);
    MciError Seek(Lock& lock, std::uint32_t flags, MCI_SEEK_PARMS* params, std::vector<Notice>& notices);
    MciError Step(Lock& lock, std::uint32_t flags, MCI_DGV_STEP_PARMS* params, std::vector<Notice>& notices);
    MciError Status(std::uint32_t flags, MCI_STATUS_PARMS* params);
    MciError Capabilities(std::uint32_t flags, MCI_GETDEVCAPS_PARMS* params);
    MciError Set(std::uint32_t flags, MCI_SET_PARMS* params);
    MciError Window(Lock& lock, std::uint32_t flags, MCI_DGV_WINDOW_PARMS* params);
    MciError Put(Lock& lock, std::uint32_t flags, MCI_DGV_RECT_PARMS* params);
    MciError Where(std::uint32_t flags, MCI_DGV_RECT_PARMS* params);

    const MciDeviceId m_id;
    ClipDecoder m_decoder;              // the device thread's, after Open
    std::unique_ptr<MciAudioOutput> m_audio;
    int m_length { 0 };                 // frames
    double m_frame_duration { 0.04 };   // seconds
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
    std::uint64_t m_job_serial { 0 };
    std::uint64_t m_job_done { 0 };
    std::uint64_t m_play_serial { 0 }; // changes whenever playback starts, stops or moves
    Mode m_mode { Mode::Stopped };
    int m_position { 0 };
    int m_play_to { 0 };
    int m_anchor_frame { 0 };
    Clock::time_point m_anchor_wall;
    MciWindow m_notify_window { 0 }; // the pending playback notice's window (0: none pending)
    bool m_picture_stale { false }; // the window shows an earlier picture than the position's
    std::uint32_t m_time_format { MCI_FORMAT_FRAMES };
    MciWindow m_window { 0 };
    MciRect m_dest { 0, 0, 0, 0 }; // origin and extent
    MciPlaybackStats m_stats;

    // The device thread's own.
    AVFrame* m_shown { nullptr };  // the picture in the window
    int m_ahead_index { -1 };       // the decoder's current frame, decoded and not yet shown

    std::thread m_thread;
};
