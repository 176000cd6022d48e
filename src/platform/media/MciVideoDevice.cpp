// The command side of the video device: each command runs under the device's locks, changes the
// playback state and, where the picture must change, hands a job to the device's thread and waits
// for it.
#include "platform/media/MciVideoDevice.h"

#include "platform/media/MciWindowRegistry.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr int kMaxDestinationSide = 8192;
// How long an open waits for the scan that counts the pictures, for a file small enough to be
// counted by then (the disc's clips are a few megabytes). Longer files report a length from their
// duration until the scan is done.
constexpr std::chrono::milliseconds kLengthWait { 20 };
constexpr std::uintmax_t kCountedWhileOpening = 16'000'000; // bytes

} // namespace

MciVideoDevice::MciVideoDevice(MciDeviceId id)
    : m_id(id)
{
}

MciError MciVideoDevice::Open(const std::filesystem::path& file, MciDeviceId id, std::unique_ptr<MciVideoDevice>& device)
{
    std::unique_ptr<MciVideoDevice> opened(new MciVideoDevice(id));
    MciVideoDevice& d = *opened;
    if (MciError result = d.m_decoder.Open(file))
        return result;
    d.m_width = d.m_decoder.Width();
    d.m_height = d.m_decoder.Height();
    d.m_dest = { 0, 0, d.m_width, d.m_height };
    if (d.m_decoder.HasSound()) {
        d.m_audio = MciAudioOutput::Open();
        if (d.m_audio) {
            MciAudioOutput* audio = d.m_audio.get();
            d.m_decoder.SetSoundSink(audio->Rate(),
                [audio](double time, const std::int16_t* samples, int frames) { audio->Push(time, samples, frames); });
            d.m_stats.has_audio = true;
        }
    }
    // A clip that opens must show something: its first picture, or for a file of sound alone,
    // sound that decodes.
    bool first = d.m_decoder.DecodeNext();
    if (first && !d.m_decoder.HasPictures() && d.m_decoder.SoundEnd() < 0)
        first = false;
    if (!first)
        return d.m_decoder.IsCutShort() ? MCIERR_CLIP_TRUNCATED : MCIERR_CLIP_NO_PICTURE;
    d.m_shown = d.CurrentPicture();
    d.m_ahead_picture = d.m_shown;
    d.m_ahead_index = d.m_decoder.CurrentIndex();
    d.m_position_time = d.m_decoder.CurrentTime();
    std::error_code error;
    if (std::filesystem::file_size(file, error) < kCountedWhileOpening)
        d.m_decoder.WaitForLength(kLengthWait);
    d.m_thread = std::thread([&d] { d.RunThread(); });
    device = std::move(opened);
    return 0;
}

MciVideoDevice::~MciVideoDevice()
{
    Shut();
}

void MciVideoDevice::Post(const std::vector<Notice>& notices, MciDeviceId id)
{
    for (const Notice& notice : notices)
        MciWindowRegistry::PostNotify(notice.window, notice.code, id);
}

void MciVideoDevice::Shut()
{
    std::vector<Notice> notices;
    MciWindow window;
    {
        std::lock_guard command(m_command_lock);
        Lock lock(m_lock);
        if (m_shut)
            return;
        m_shut = true;
        TakeNotice(notices, {});
        if (m_mode != Mode::Stopped) {
            m_mode = Mode::Stopped;
            ++m_play_serial;
        }
        m_quit = true;
        window = m_window;
        m_wake.notify_all();
        m_done.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
    m_audio.reset(); // after the thread: the decoder's sink points at it
    if (window)
        MciWindowRegistry::DeliverFrame(window, nullptr);
    Post(notices, m_id);
}

MciPlaybackStats MciVideoDevice::Stats()
{
    Lock lock(m_lock);
    return m_stats;
}

// Runs a command that completes at once: under both locks, then its notices.
template<typename Body>
MciError MciVideoDevice::Run(MciCompletion completion, Body body)
{
    std::unique_lock command_lock(m_command_lock);
    Lock lock(m_lock);
    if (m_shut)
        return MCIERR_INVALID_DEVICE_ID;
    std::vector<Notice> notices;
    MciError result = body(lock, notices);
    if (result == 0 && completion.notify)
        notices.push_back({ completion.notify, MCI_NOTIFY_SUCCESSFUL });
    lock.unlock();
    command_lock.unlock();
    Post(notices, m_id);
    return result;
}

MciVideoDevice::Clock::time_point MciVideoDevice::Due(double media_time) const
{
    return m_anchor_wall
        + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(media_time - m_anchor_time));
}

double MciVideoDevice::ClockTime(Clock::time_point now) const
{
    return m_anchor_time + std::chrono::duration<double>(now - m_anchor_wall).count();
}

std::uint32_t MciVideoDevice::ToUnits(int frames) const
{
    if (m_time_format == MCI_FORMAT_MILLISECONDS)
        return std::uint32_t(std::llround(frames * m_decoder.PictureDuration() * 1000));
    return std::uint32_t(frames);
}

int MciVideoDevice::ToFrames(std::uint32_t value) const
{
    if (m_time_format == MCI_FORMAT_MILLISECONDS)
        return int(std::min<long long>(INT_MAX, std::llround(value / 1000.0 / m_decoder.PictureDuration())));
    return int(std::min<std::uint32_t>(value, INT_MAX));
}

// A command that asks for a notice replaces the pending playback notice (superseded); any other
// command that moves or stops playback cancels it (aborted).
void MciVideoDevice::TakeNotice(std::vector<Notice>& notices, MciCompletion completion)
{
    if (!m_notify_window)
        return;
    notices.push_back({ m_notify_window, completion.notify ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED });
    m_notify_window = 0;
}

void MciVideoDevice::StopPlay()
{
    if (m_mode == Mode::Stopped)
        return;
    m_mode = Mode::Stopped;
    ++m_play_serial;
    if (m_audio)
        m_audio->SetClock(false, 0, {});
    m_wake.notify_all();
    m_done.notify_all();
}

void MciVideoDevice::EndPlay(std::vector<Notice>& notices, std::uint32_t code)
{
    m_mode = Mode::Stopped;
    ++m_play_serial;
    if (m_notify_window) {
        notices.push_back({ m_notify_window, code });
        m_notify_window = 0;
    }
    if (m_audio)
        m_audio->SetClock(false, 0, {});
    m_done.notify_all();
}

void MciVideoDevice::StartPlay(int to, bool to_end, MciCompletion completion)
{
    auto now = Clock::now();
    bool playing = m_mode == Mode::Playing;
    m_play_to = to;
    m_to_end = to_end;
    m_mode = Mode::Playing;
    if (!playing) {
        m_anchor_time = m_position_time;
        m_anchor_wall = now;
        if (m_audio)
            m_audio->SetClock(true, m_anchor_time, now);
    }
    ++m_play_serial;
    m_notify_window = completion.notify;
    m_wake.notify_all();
}

void MciVideoDevice::RunJob(Lock& lock, Job job, int target, MciWindow old_window)
{
    m_job = job;
    m_job_target = target;
    m_job_old_window = old_window;
    std::uint64_t serial = ++m_job_serial;
    m_wake.notify_all();
    m_done.wait(lock, [&] { return m_job_done >= serial || m_quit; });
}

void MciVideoDevice::MoveTo(Lock& lock, int target)
{
    RunJob(lock, Job::Seek, target);
    m_position = target;
    m_position_time = m_job_time;
}

MciError MciVideoDevice::Play(std::optional<std::uint32_t> from, std::optional<std::uint32_t> to, MciCompletion completion)
{
    std::unique_lock command_lock(m_command_lock);
    Lock lock(m_lock);
    if (m_shut)
        return MCIERR_INVALID_DEVICE_ID;
    int length = Length();
    int first = from ? ToFrames(*from) : m_position;
    int last = to ? ToFrames(*to) : length;
    if (first > length || last > length || ((from || to) && first > last))
        return MCIERR_OUTOFRANGE;
    std::vector<Notice> notices;
    TakeNotice(notices, completion);
    if (from && (first != m_position || m_mode != Mode::Paused)) {
        StopPlay();
        MoveTo(lock, first);
    }
    if (m_mode == Mode::Paused)
        m_mode = Mode::Stopped; // play from a pause starts the clock afresh
    if (!to && m_position > last)
        last = m_position;
    StartPlay(last, !to && last >= length, completion);
    std::uint64_t serial = m_play_serial;
    lock.unlock();
    Post(notices, m_id);
    if (completion.wait) {
        // Return when this playback has ended or been interrupted; other threads may send
        // commands meanwhile.
        command_lock.unlock();
        lock.lock();
        m_done.wait(lock, [&] { return m_mode != Mode::Playing || m_play_serial != serial || m_quit; });
    }
    return 0;
}

MciError MciVideoDevice::Resume(MciCompletion completion)
{
    std::unique_lock command_lock(m_command_lock);
    Lock lock(m_lock);
    if (m_shut)
        return MCIERR_INVALID_DEVICE_ID;
    if (m_mode == Mode::Stopped)
        return MCIERR_NONAPPLICABLE_FUNCTION; // resume applies to a paused device
    std::vector<Notice> notices;
    TakeNotice(notices, completion);
    if (m_mode == Mode::Paused)
        m_mode = Mode::Stopped;
    StartPlay(m_play_to, m_to_end, completion);
    std::uint64_t serial = m_play_serial;
    lock.unlock();
    Post(notices, m_id);
    if (completion.wait) {
        command_lock.unlock();
        lock.lock();
        m_done.wait(lock, [&] { return m_mode != Mode::Playing || m_play_serial != serial || m_quit; });
    }
    return 0;
}

MciError MciVideoDevice::Pause(MciCompletion completion)
{
    return Run(completion, [&](Lock&, std::vector<Notice>& notices) -> MciError {
        if (m_mode != Mode::Playing)
            return 0;
        TakeNotice(notices, completion);
        m_mode = Mode::Paused;
        ++m_play_serial;
        if (m_audio)
            m_audio->SetClock(false, 0, {});
        m_wake.notify_all();
        m_done.notify_all();
        return 0;
    });
}

MciError MciVideoDevice::Stop(MciCompletion completion)
{
    return Run(completion, [&](Lock&, std::vector<Notice>& notices) -> MciError {
        TakeNotice(notices, completion);
        StopPlay();
        return 0;
    });
}

MciError MciVideoDevice::Seek(MciSeek how, std::uint32_t to, MciCompletion completion)
{
    return Run(completion, [&](Lock& lock, std::vector<Notice>& notices) -> MciError {
        int target = how == MciSeek::ToStart ? 0 : Length();
        if (how == MciSeek::To) {
            target = ToFrames(to);
            if (target > Length())
                return MCIERR_OUTOFRANGE;
        }
        TakeNotice(notices, completion);
        StopPlay();
        MoveTo(lock, target);
        return 0;
    });
}

// A step moves the picture; a paused clip stays paused at the new place, so that a resume plays on
// from there.
MciError MciVideoDevice::Step(MciStepDirection direction, std::uint32_t frames, MciCompletion completion)
{
    return Run(completion, [&](Lock& lock, std::vector<Notice>& notices) -> MciError {
        long long count = frames;
        long long target = direction == MciStepDirection::Reverse ? m_position - count : m_position + count;
        target = std::clamp<long long>(target, 0, Length());
        TakeNotice(notices, completion);
        bool paused = m_mode == Mode::Paused;
        StopPlay();
        MoveTo(lock, int(target));
        if (paused)
            m_mode = Mode::Paused;
        return 0;
    });
}

MciError MciVideoDevice::Status(MciItem item, std::uint32_t& value)
{
    return Run({}, [&](Lock&, std::vector<Notice>&) -> MciError {
        switch (item) {
        case MciItem::Length:
            value = ToUnits(Length());
            return 0;
        case MciItem::Position:
            value = ToUnits(std::min(m_position, Length()));
            return 0;
        case MciItem::NumberOfTracks:
        case MciItem::CurrentTrack:
        case MciItem::MediaPresent:
        case MciItem::Ready:
            value = 1;
            return 0;
        case MciItem::Mode:
            value = m_mode == Mode::Playing ? MCI_MODE_PLAY : m_mode == Mode::Paused ? MCI_MODE_PAUSE : MCI_MODE_STOP;
            return 0;
        case MciItem::TimeFormat:
            value = m_time_format;
            return 0;
        }
        return MCIERR_UNSUPPORTED_FUNCTION;
    });
}

// A file of sound alone is played by the same digital-video device: it has video capability (a
// window, steps), only no picture to show.
MciError MciVideoDevice::Capability(MciCapability item, std::uint32_t& value)
{
    return Run({}, [&](Lock&, std::vector<Notice>&) -> MciError {
        switch (item) {
        case MciCapability::CanPlay:
        case MciCapability::HasVideo:
        case MciCapability::UsesFiles:
        case MciCapability::CompoundDevice:
            value = 1;
            return 0;
        case MciCapability::CanRecord:
        case MciCapability::CanEject:
        case MciCapability::CanSave:
            value = 0;
            return 0;
        case MciCapability::HasAudio:
            value = m_decoder.HasSound() ? 1 : 0;
            return 0;
        case MciCapability::DeviceType:
            value = MCI_DEVTYPE_DIGITAL_VIDEO;
            return 0;
        }
        return MCIERR_UNSUPPORTED_FUNCTION;
    });
}

MciError MciVideoDevice::SetTimeFormat(std::uint32_t format, MciCompletion completion)
{
    return Run(completion, [&](Lock&, std::vector<Notice>&) -> MciError {
        if (format != MCI_FORMAT_FRAMES && format != MCI_FORMAT_MILLISECONDS)
            return MCIERR_BAD_TIME_FORMAT;
        m_time_format = format;
        return 0;
    });
}

MciError MciVideoDevice::SetWindow(MciWindow window, MciCompletion completion)
{
    return Run(completion, [&](Lock& lock, std::vector<Notice>&) -> MciError {
        if (window != 0 && !MciWindowRegistry::Exists(window))
            return MCIERR_NO_WINDOW;
        MciWindow old_window = m_window;
        m_window = window;
        RunJob(lock, Job::Refresh, 0, old_window);
        return 0;
    });
}

MciError MciVideoDevice::PutDestination(std::optional<MciRect> rect, MciCompletion completion)
{
    return Run(completion, [&](Lock& lock, std::vector<Notice>&) -> MciError {
        MciRect dest = rect.value_or(MciRect { 0, 0, m_width, m_height });
        if (rect
            && (dest.right <= 0 || dest.bottom <= 0 || dest.right > kMaxDestinationSide || dest.bottom > kMaxDestinationSide
                || std::abs(dest.left) > kMaxDestinationSide || std::abs(dest.top) > kMaxDestinationSide))
            return MCIERR_OUTOFRANGE;
        m_dest = dest;
        if (m_window)
            RunJob(lock, Job::Refresh, 0, m_window);
        return 0;
    });
}

MciError MciVideoDevice::Where(MciRectKind kind, MciRect& rect)
{
    return Run({}, [&](Lock&, std::vector<Notice>&) -> MciError {
        rect = kind == MciRectKind::Source ? MciRect { 0, 0, m_width, m_height } : m_dest;
        return 0;
    });
}
