#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

// The sound of one playing clip: an SDL audio device whose callback takes decoded stereo samples
// from a queue, each run stamped with its place in the clip. The device's clock is the master:
// while it runs, the callback plays the samples that belong to the clock's present moment,
// dropping what is late and filling silence before what is early, so sound and picture stay
// within a few milliseconds of each other.
class MciAudioOutput {
public:
    using Clock = std::chrono::steady_clock;

    // Null when the audio subsystem or an output device is not available (the clip plays silent).
    static std::unique_ptr<MciAudioOutput> Open();
    ~MciAudioOutput();
    MciAudioOutput(const MciAudioOutput&) = delete;
    MciAudioOutput& operator=(const MciAudioOutput&) = delete;

    int Rate() const { return m_rate; }

    // media_time: seconds since the clip's first picture.
    void Push(double media_time, const std::int16_t* stereo, int frames);
    void Clear();
    // While running, media time t is due at anchor_wall + (t - anchor_media).
    void SetClock(bool running, double anchor_media, Clock::time_point anchor_wall);
    // The media time of the sound going out at `now`; negative when no sound is going out.
    double SoundingTime(Clock::time_point now);

private:
    struct Chunk {
        double start;
        std::vector<std::int16_t> samples; // interleaved stereo
    };

    MciAudioOutput() = default;
    static void Callback(void* self, std::uint8_t* stream, int bytes);
    void Fill(std::int16_t* out, int frames);
    void PopChunk(); // under m_lock

    std::uint32_t m_device { 0 };
    int m_rate { 44100 };
    int m_buffer_frames { 2048 }; // frames the device takes per callback
    std::mutex m_lock;
    std::deque<Chunk> m_chunks;
    std::vector<std::vector<std::int16_t>> m_spare; // played chunks' storage, for the next ones
    std::size_t m_offset { 0 }; // frames of the first chunk already played
    std::size_t m_queued { 0 }; // frames in the queue
    bool m_running { false };
    double m_anchor_media { 0 };
    Clock::time_point m_anchor_wall;
    bool m_sounding { false };
    double m_sounding_media { 0 };
    Clock::time_point m_sounding_wall;
};
