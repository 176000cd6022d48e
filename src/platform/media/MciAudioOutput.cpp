#include "platform/media/MciAudioOutput.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace {

// How far the sound may stray from the clock before samples are dropped or silence is inserted.
constexpr double kTolerance = 0.015;
// Sound decoded ahead of the clock is kept up to this many seconds (steps while paused decode
// sound that is never played).
constexpr double kMaxQueued = 4.0;
// Storage of played chunks kept for new ones, so that steady playback allocates nothing.
constexpr std::size_t kMaxSpare = 64;

std::mutex s_sdl_lock; // SDL's audio device calls are made one at a time
bool s_sdl_tried = false;
bool s_sdl_ready = false;

} // namespace

std::unique_ptr<MciAudioOutput> MciAudioOutput::Open()
{
    std::lock_guard guard(s_sdl_lock);
    if (!s_sdl_tried) {
        s_sdl_tried = true;
        s_sdl_ready = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    if (!s_sdl_ready)
        return nullptr;
    std::unique_ptr<MciAudioOutput> output(new MciAudioOutput);
    SDL_AudioSpec want {};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 2048; // 46 ms: the clock, not the buffer, keeps sound and picture together
    want.callback = &MciAudioOutput::Callback;
    want.userdata = output.get();
    SDL_AudioSpec have {};
    output->m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (output->m_device == 0)
        return nullptr;
    output->m_rate = have.freq;
    output->m_buffer_frames = have.samples > 0 ? have.samples : want.samples;
    SDL_PauseAudioDevice(output->m_device, 0);
    return output;
}

MciAudioOutput::~MciAudioOutput()
{
    // An output whose device could not be opened is dropped inside Open, which holds the lock.
    if (m_device == 0)
        return;
    std::lock_guard guard(s_sdl_lock);
    SDL_CloseAudioDevice(m_device); // waits for a running callback
}

void MciAudioOutput::Push(double media_time, const std::int16_t* stereo, int frames)
{
    if (frames <= 0)
        return;
    std::lock_guard guard(m_lock);
    std::vector<std::int16_t> samples;
    if (!m_spare.empty()) {
        samples = std::move(m_spare.back());
        m_spare.pop_back();
    }
    samples.assign(stereo, stereo + std::size_t(frames) * 2);
    m_chunks.push_back({ media_time, std::move(samples) });
    m_queued += std::size_t(frames);
    while (m_chunks.size() > 1 && double(m_queued) / m_rate > kMaxQueued) {
        m_queued -= m_chunks.front().samples.size() / 2 - m_offset;
        PopChunk();
    }
}

void MciAudioOutput::Clear()
{
    std::lock_guard guard(m_lock);
    while (!m_chunks.empty())
        PopChunk();
    m_queued = 0;
}

void MciAudioOutput::PopChunk()
{
    if (m_spare.size() < kMaxSpare)
        m_spare.push_back(std::move(m_chunks.front().samples));
    m_chunks.pop_front();
    m_offset = 0;
}

void MciAudioOutput::SetClock(bool running, double anchor_media, Clock::time_point anchor_wall)
{
    std::lock_guard guard(m_lock);
    m_running = running;
    m_anchor_media = anchor_media;
    m_anchor_wall = anchor_wall;
    if (!running)
        m_sounding = false;
}

double MciAudioOutput::SoundingTime(Clock::time_point now)
{
    std::lock_guard guard(m_lock);
    if (!m_sounding)
        return -1;
    double elapsed = std::chrono::duration<double>(now - m_sounding_wall).count();
    // Past one buffer's length the callback should have come again; the sound has run out.
    if (elapsed > 2.0 * m_buffer_frames / m_rate)
        return -1;
    return m_sounding_media + elapsed;
}

void MciAudioOutput::Callback(void* self, std::uint8_t* stream, int bytes)
{
    static_cast<MciAudioOutput*>(self)->Fill(reinterpret_cast<std::int16_t*>(stream), bytes / 4);
}

void MciAudioOutput::Fill(std::int16_t* out, int frames)
{
    std::memset(out, 0, std::size_t(frames) * 4);
    auto now = Clock::now();
    std::lock_guard guard(m_lock);
    if (!m_running) {
        m_sounding = false;
        return;
    }
    const double rate = m_rate;
    double clock = m_anchor_media + std::chrono::duration<double>(now - m_anchor_wall).count();
    bool first = true;
    m_sounding = false;
    int i = 0;
    while (i < frames && !m_chunks.empty()) {
        Chunk& chunk = m_chunks.front();
        std::size_t chunk_frames = chunk.samples.size() / 2;
        double at = chunk.start + double(m_offset) / rate; // media time of the next queued sample
        double wanted = clock + i / rate;                  // media time of output sample i
        if (at < wanted - kTolerance) {
            // Late sound: skip to the present.
            std::size_t skip = std::min<std::size_t>(chunk_frames - m_offset, std::size_t((wanted - at) * rate) + 1);
            m_offset += skip;
            m_queued -= skip;
        } else if (at > wanted + kTolerance) {
            // Early sound: silence until its time.
            i += std::min(frames - i, int((at - wanted) * rate));
            continue;
        } else {
            if (first) {
                m_sounding = true;
                m_sounding_media = at - i / rate;
                m_sounding_wall = now;
                first = false;
            }
            std::size_t take = std::min<std::size_t>(chunk_frames - m_offset, std::size_t(frames - i));
            std::memcpy(out + std::size_t(i) * 2, chunk.samples.data() + m_offset * 2, take * 4);
            i += int(take);
            m_offset += take;
            m_queued -= take;
        }
        if (m_offset >= chunk_frames)
            PopChunk();
    }
}
