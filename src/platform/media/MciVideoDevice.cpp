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
constexpr double kLateMs = 20.0; // a picture shown later than this counts as late

} // namespace

MciVideoDevice::MciVideoDevice(MciDeviceId id)
    : m_id(id)
{
}

MciError MciVideoDevice::Open(const std::filesystem::path& file, MciDeviceId id, std::unique_ptr<MciVideoDevice>& device)
{
    std::unique_ptr<MciVideoDevice> opened(new MciVideoDevice(id));
    if (MciError result = opened->m_decoder.Open(file))
        return result;
    MciVideoDevice& d = *opened;
    d.m_length = d.m_decoder.FrameCount();
    d.m_frame_duration = d.m_decoder.FrameDuration();
    d.m_width = d.m_decoder.Width();
    d.m_height = d.m_decoder.Height();
    d.m_dest = { 0, 0, d.m_width, d.m_height };
    if (d.m_decoder.HasAudio()) {
        d.m_audio = MciAudioOutput::Open();
        if (d.m_audio) {
            MciAudioOutput* audio = d.m_audio.get();
            d.m_decoder.SetAudioSink(audio->Rate(),
                [audio](double time, const std::int16_t* samples, int frames) { audio->Push(time, samples, frames); });
            d.m_stats.has_audio = true;
        }
    }
    if (!d.m_decoder.SeekToFrame(0))
        return MCIERR_CLIP_NO_PICTURE;
    d.m_shown = d.m_decoder.CurrentFrame();
    d.m_thread = std::thread([&d] { d.Run(); });
    device = std::move(opened);
    return 0;
}

MciVideoDevice::~MciVideoDevice()
{
    Shut();
    av_frame_free(&m_shown);
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
        TakeNotice(notices, 0, 0);
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
    for (const Notice& notice : notices)
        MciWindowRegistry::PostNotify(notice.window, notice.code, m_id);
}

MciPlaybackStats MciVideoDevice::Stats()
{
    Lock lock(m_lock);
    return m_stats;
}

MciVideoDevice::Clock::time_point MciVideoDevice::Due(int frame) const
{
    return m_anchor_wall
        + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>((frame - m_anchor_frame) * m_frame_duration));
}

std::uint32_t MciVideoDevice::ToUnits(int frames) const
{
    if (m_time_format == MCI_FORMAT_MILLISECONDS)
        return std::uint32_t(std::llround(frames * m_frame_duration * 1000));
    return std::uint32_t(frames);
}

int MciVideoDevice::ToFrames(std::uint32_t value) const
{
    if (m_time_format == MCI_FORMAT_MILLISECONDS)
        return int(std::min<long long>(INT_MAX, std::llround(value / 1000.0 / m_frame_duration)));
    return int(std::min<std::uint32_t>(value, INT_MAX));
}

// A command with MCI_NOTIFY replaces the pending playback notice (superseded); any other command
// that moves or stops playback cancels it (aborted).
void MciVideoDevice::TakeNotice(std::vector<Notice>& notices, std::uint32_t flags, MciWindow)
{
    if (!m_notify_window)
        return;
    notices.push_back({ m_notify_window, (flags & MCI_NOTIFY) ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED });
    m_notify_window = 0;
}

void MciVideoDevice::StopPlay(std::vector<Notice>& notices)
{
    (void)notices;
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

void MciVideoDevice::StartPlay(Lock&, int to, MciWindow notify, std::uint32_t flags)
{
    auto now = Clock::now();
    bool playing = m_mode == Mode::Playing;
    m_play_to = to;
    m_mode = Mode::Playing;
    if (!playing) {
        m_anchor_frame = m_position;
        m_anchor_wall = now;
        if (m_audio)
            m_audio->SetClock(true, m_position * m_frame_duration, now);
    }
    ++m_play_serial;
    m_notify_window = (flags & MCI_NOTIFY) ? notify : 0;
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

MciError MciVideoDevice::Command(std::uint32_t command, std::uint32_t flags, void* params)
{
    std::unique_lock command_lock(m_command_lock);
    Lock lock(m_lock);
    if (m_shut)
        return MCIERR_INVALID_DEVICE_ID;
    if ((flags & MCI_NOTIFY) && !params)
        return MCIERR_NULL_PARAMETER_BLOCK;
    MciWindow callback = params ? static_cast<MCI_GENERIC_PARMS*>(params)->dwCallback : 0;
    std::vector<Notice> notices;
    MciError result = 0;
    bool notify_now = true;
    bool wait_for_play = false;
    switch (command) {
    case MCI_PLAY:
        result = Play(lock, flags, static_cast<MCI_PLAY_PARMS*>(params), notices);
        notify_now = false;
        wait_for_play = result == 0 && (flags & MCI_WAIT);
        break;
    case MCI_PAUSE:
        if (m_mode == Mode::Playing) {
            TakeNotice(notices, flags, callback);
            m_mode = Mode::Paused;
            ++m_play_serial;
            if (m_audio)
                m_audio->SetClock(false, 0, {});
            m_wake.notify_all();
            m_done.notify_all();
        }
        break;
    case MCI_RESUME:
        if (m_mode == Mode::Stopped) {
            result = MCIERR_NONAPPLICABLE_FUNCTION;
        } else {
            TakeNotice(notices, flags, callback);
            m_mode = m_mode == Mode::Paused ? Mode::Stopped : m_mode;
            StartPlay(lock, m_play_to, callback, flags);
            notify_now = false;
            wait_for_play = (flags & MCI_WAIT) != 0;
        }
        break;
    case MCI_STOP:
        TakeNotice(notices, flags, callback);
        StopPlay(notices);
        break;
    case MCI_SEEK:
        result = Seek(lock, flags, static_cast<MCI_SEEK_PARMS*>(params), notices);
        break;
    case MCI_STEP:
        result = Step(lock, flags, static_cast<MCI_DGV_STEP_PARMS*>(params), notices);
        break;
    case MCI_STATUS:
        result = Status(flags, static_cast<MCI_STATUS_PARMS*>(params));
        break;
    case MCI_GETDEVCAPS:
        result = Capabilities(flags, static_cast<MCI_GETDEVCAPS_PARMS*>(params));
        break;
    case MCI_SET:
        result = Set(flags, static_cast<MCI_SET_PARMS*>(params));
        break;
    case MCI_WINDOW:
        result = Window(lock, flags, static_cast<MCI_DGV_WINDOW_PARMS*>(params));
        break;
    case MCI_PUT:
        result = Put(lock, flags, static_cast<MCI_DGV_RECT_PARMS*>(params));
        break;
    case MCI_WHERE:
        result = Where(flags, static_cast<MCI_DGV_RECT_PARMS*>(params));
        break;
    case MCI_RECORD:
        result = MCIERR_UNSUPPORTED_FUNCTION;
        break;
    default:
        result = MCIERR_UNRECOGNIZED_COMMAND;
        break;
    }
    if (result == 0 && notify_now && (flags & MCI_NOTIFY))
        notices.push_back({ callback, MCI_NOTIFY_SUCCESSFUL });
    std::uint64_t play_serial = m_play_serial;
    lock.unlock();
    for (const Notice& notice : notices)
        MciWindowRegistry::PostNotify(notice.window, notice.code, m_id);
    if (wait_for_play) {
        // MCI_WAIT on play: return when this playback has ended or been interrupted. Other threads
        // may send commands meanwhile.
        command_lock.unlock();
        lock.lock();
        m_done.wait(lock, [&] { return m_mode != Mode::Playing || m_play_serial != play_serial || m_quit; });
    }
    return result;
}

MciError MciVideoDevice::Play(Lock& lock, std::uint32_t flags, MCI_PLAY_PARMS* params, std::vector<Notice>& notices)
{
    if ((flags & (MCI_FROM | MCI_TO)) && !params)
        return MCIERR_NULL_PARAMETER_BLOCK;
    int from = m_position;
    int to = m_length;
    if (flags & MCI_FROM)
        from = ToFrames(params->dwFrom);
    if (flags & MCI_TO)
        to = ToFrames(params->dwTo);
    if (from > m_length || to > m_length || ((flags & (MCI_FROM | MCI_TO)) && from > to))
        return MCIERR_OUTOFRANGE;
    MciWindow callback = params ? params->dwCallback : 0;
    TakeNotice(notices, flags, callback);
    if ((flags & MCI_FROM) && (from != m_position || m_mode != Mode::Paused)) {
        StopPlay(notices);
        RunJob(lock, Job::Seek, from);
        m_position = from;
    }
    if (m_mode == Mode::Paused)
        m_mode = Mode::Stopped; // play from a pause starts the clock afresh
    if (!(flags & MCI_TO) && m_position > to)
        to = m_position;
    StartPlay(lock, to, callback, flags);
    return 0;
}

MciError MciVideoDevice::Seek(Lock& lock, std::uint32_t flags, MCI_SEEK_PARMS* params, std::vector<Notice>& notices)
{
    std::uint32_t how = flags & (MCI_SEEK_TO_START | MCI_SEEK_TO_END | MCI_TO);
    if (how == 0)
        return MCIERR_MISSING_PARAMETER;
    if (how != MCI_SEEK_TO_START && how != MCI_SEEK_TO_END && how != MCI_TO)
        return MCIERR_FLAGS_NOT_COMPATIBLE;
    int target = how == MCI_SEEK_TO_START ? 0 : m_length;
    if (how == MCI_TO) {
        if (!params)
            return MCIERR_NULL_PARAMETER_BLOCK;
        target = ToFrames(params->dwTo);
        if (target > m_length)
            return MCIERR_OUTOFRANGE;
    }
    TakeNotice(notices, flags, params ? params->dwCallback : 0);
    StopPlay(notices);
    RunJob(lock, Job::Seek, target);
    m_position = target;
    return 0;
}

MciError MciVideoDevice::Step(Lock& lock, std::uint32_t flags, MCI_DGV_STEP_PARMS* params, std::vector<Notice>& notices)
{
    long long count = 1;
    if (flags & MCI_DGV_STEP_FRAMES) {
        if (!params)
            return MCIERR_NULL_PARAMETER_BLOCK;
        count = params->dwFrames;
    }
    long long target = (flags & MCI_DGV_STEP_REVERSE) ? m_position - count : m_position + count;
    target = std::clamp<long long>(target, 0, m_length);
    TakeNotice(notices, flags, params ? params->dwCallback : 0);
    StopPlay(notices);
    RunJob(lock, Job::Seek, int(target));
    m_position = int(target);
    return 0;
}

MciError MciVideoDevice::Status(std::uint32_t flags, MCI_STATUS_PARMS* params)
{
    if (!params)
        return MCIERR_NULL_PARAMETER_BLOCK;
    if (!(flags & MCI_STATUS_ITEM))
        return MCIERR_MISSING_PARAMETER;
    switch (params->dwItem) {
    case MCI_STATUS_LENGTH:
        params->dwReturn = ToUnits(m_length);
        return 0;
    case MCI_STATUS_POSITION:
        params->dwReturn = (flags & MCI_STATUS_START) ? 0 : ToUnits(m_position);
        return 0;
    case MCI_STATUS_NUMBER_OF_TRACKS:
    case MCI_STATUS_CURRENT_TRACK:
    case MCI_STATUS_MEDIA_PRESENT:
    case MCI_STATUS_READY:
        params->dwReturn = 1;
        return 0;
    case MCI_STATUS_MODE:
        params->dwReturn = m_mode == Mode::Playing ? MCI_MODE_PLAY : m_mode == Mode::Paused ? MCI_MODE_PAUSE : MCI_MODE_STOP;
        return 0;
    case MCI_STATUS_TIME_FORMAT:
        params->dwReturn = m_time_format;
        return 0;
    default:
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

MciError MciVideoDevice::Capabilities(std::uint32_t flags, MCI_GETDEVCAPS_PARMS* params)
{
    if (!params)
        return MCIERR_NULL_PARAMETER_BLOCK;
    if (!(flags & MCI_GETDEVCAPS_ITEM))
        return MCIERR_MISSING_PARAMETER;
    switch (params->dwItem) {
    case MCI_GETDEVCAPS_CAN_PLAY:
    case MCI_GETDEVCAPS_HAS_VIDEO:
    case MCI_GETDEVCAPS_USES_FILES:
    case MCI_GETDEVCAPS_COMPOUND_DEVICE:
        params->dwReturn = 1;
        return 0;
    case MCI_GETDEVCAPS_CAN_RECORD:
    case MCI_GETDEVCAPS_CAN_EJECT:
    case MCI_GETDEVCAPS_CAN_SAVE:
        params->dwReturn = 0;
        return 0;
    case MCI_GETDEVCAPS_HAS_AUDIO:
        params->dwReturn = m_decoder.HasAudio() ? 1 : 0;
        return 0;
    case MCI_GETDEVCAPS_DEVICE_TYPE:
        params->dwReturn = MCI_DEVTYPE_DIGITAL_VIDEO;
        return 0;
    default:
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

MciError MciVideoDevice::Set(std::uint32_t flags, MCI_SET_PARMS* params)
{
    if (flags & (MCI_SET_DOOR_OPEN | MCI_SET_DOOR_CLOSED))
        return MCIERR_UNSUPPORTED_FUNCTION;
    if (!(flags & MCI_SET_TIME_FORMAT))
        return MCIERR_MISSING_PARAMETER;
    if (!params)
        return MCIERR_NULL_PARAMETER_BLOCK;
    if (params->dwTimeFormat != MCI_FORMAT_FRAMES && params->dwTimeFormat != MCI_FORMAT_MILLISECONDS)
        return MCIERR_BAD_TIME_FORMAT;
    m_time_format = params->dwTimeFormat;
    return 0;
}

MciError MciVideoDevice::Window(Lock& lock, std::uint32_t flags, MCI_DGV_WINDOW_PARMS* params)
{
    if (!(flags & MCI_DGV_WINDOW_HWND))
        return 0; // showing, hiding and captions of the default window: there is none to change
    if (!params)
        return MCIERR_NULL_PARAMETER_BLOCK;
    if (params->hWnd != 0 && !MciWindowRegistry::Exists(params->hWnd))
        return MCIERR_NO_WINDOW;
    MciWindow old_window = m_window;
    m_window = params->hWnd;
    RunJob(lock, Job::Refresh, 0, old_window);
    return 0;
}

MciError MciVideoDevice::Put(Lock& lock, std::uint32_t flags, MCI_DGV_RECT_PARMS* params)
{
    if (flags & MCI_DGV_PUT_SOURCE)
        return MCIERR_UNSUPPORTED_FUNCTION;
    if (!(flags & MCI_DGV_PUT_DESTINATION))
        return MCIERR_MISSING_PARAMETER;
    MciRect dest { 0, 0, m_width, m_height };
    if (flags & MCI_DGV_RECT) {
        if (!params)
            return MCIERR_NULL_PARAMETER_BLOCK;
        dest = params->rc;
        if (dest.right <= 0 || dest.bottom <= 0 || dest.right > kMaxDestinationSide || dest.bottom > kMaxDestinationSide
            || std::abs(dest.left) > kMaxDestinationSide || std::abs(dest.top) > kMaxDestinationSide)
            return MCIERR_OUTOFRANGE;
    }
    m_dest = dest;
    if (m_window)
        RunJob(lock, Job::Refresh, 0, m_window);
    return 0;
}

MciError MciVideoDevice::Where(std::uint32_t flags, MCI_DGV_RECT_PARMS* params)
{
    if (!params)
        return MCIERR_NULL_PARAMETER_BLOCK;
    if (flags & MCI_DGV_WHERE_SOURCE)
        params->rc = { 0, 0, m_width, m_height };
    else if (flags & MCI_DGV_WHERE_DESTINATION)
        params->rc = m_dest;
    else
        return MCIERR_MISSING_PARAMETER;
    return 0;
}

// The picture goes to the window as a new reference to the decoded frame; the window's thread
// scales it straight into its pixels.
MciFramePtr MciVideoDevice::RenderFrame(const AVFrame* frame, int index, MciRect dest)
{
    AVFrame* copy = av_frame_clone(frame);
    if (!copy)
        return nullptr;
    auto made = std::make_shared<MciFrame>();
    made->picture = std::shared_ptr<const AVFrame>(copy, [](const AVFrame* done) {
        AVFrame* owned = const_cast<AVFrame*>(done);
        av_frame_free(&owned);
    });
    made->left = dest.left;
    made->top = dest.top;
    made->width = dest.right;
    made->height = dest.bottom;
    made->index = index;
    return made;
}

void MciVideoDevice::ServeJob(Job job, int target, MciWindow old_window)
{
    if (job == Job::Seek) {
        int frame = std::clamp(target, 0, m_length - 1);
        if (m_decoder.SeekToFrame(frame)) {
            av_frame_free(&m_shown);
            m_shown = m_decoder.CurrentFrame();
        }
        if (m_audio)
            m_audio->Clear();
        m_ahead_index = -1;
    }
    MciWindow window;
    MciRect dest;
    {
        Lock lock(m_lock);
        window = m_window;
        dest = m_dest;
    }
    if (old_window && old_window != window)
        MciWindowRegistry::DeliverFrame(old_window, nullptr);
    if (window && m_shown) {
        if (MciFramePtr frame = RenderFrame(m_shown, target, dest))
            MciWindowRegistry::DeliverFrame(window, std::move(frame));
    }
}

void MciVideoDevice::Run()
{
    Lock lock(m_lock);
    bool decode_ended = false;
    for (;;) {
        m_wake.wait(lock, [&] {
            return m_quit || m_job != Job::None || m_mode == Mode::Playing || m_picture_stale;
        });
        if (m_quit)
            break;
        if (m_job == Job::None && m_mode != Mode::Playing && m_picture_stale) {
            // Playback stopped after skipping pictures: show the one the position names.
            m_picture_stale = false;
            int position = m_position;
            lock.unlock();
            ServeJob(Job::Refresh, position, 0);
            lock.lock();
            continue;
        }
        if (m_job != Job::None) {
            Job job = m_job;
            int target = m_job_target;
            MciWindow old_window = m_job_old_window;
            std::uint64_t serial = m_job_serial;
            m_job = Job::None;
            lock.unlock();
            ServeJob(job, target, old_window);
            if (job == Job::Seek)
                decode_ended = false;
            lock.lock();
            m_picture_stale = false;
            m_job_done = serial;
            m_done.notify_all();
            continue;
        }

        // Playing.
        std::vector<Notice> notices;
        std::uint64_t serial = m_play_serial;
        int next = m_position + 1;
        bool need_frame = next < m_play_to;
        if (m_position >= m_play_to) {
            EndPlay(notices, MCI_NOTIFY_SUCCESSFUL);
        } else if (need_frame && m_ahead_index < next && !decode_ended) {
            // Decode the next picture before its time comes.
            lock.unlock();
            if (m_decoder.DecodeNext()) {
                m_ahead_index = m_decoder.CurrentIndex();
            } else {
                decode_ended = true;
            }
            lock.lock();
            continue;
        } else if (need_frame && m_ahead_index < next) {
            // The data ran out before the clip's counted end (damage): stop here.
            bool complete = m_position >= m_length - 2;
            m_position = m_play_to;
            EndPlay(notices, complete ? MCI_NOTIFY_SUCCESSFUL : MCI_NOTIFY_FAILURE);
        } else {
            int show = need_frame ? m_ahead_index : m_play_to;
            if (show >= m_play_to) {
                need_frame = false;
                show = m_play_to;
            }
            auto due = Due(show);
            if (m_wake.wait_until(lock, due, [&] { return m_quit || m_job != Job::None || m_play_serial != serial; }))
                continue;
            if (!need_frame) {
                m_position = m_play_to;
                EndPlay(notices, MCI_NOTIFY_SUCCESSFUL);
            } else {
                auto now = Clock::now();
                if (show + 1 < m_play_to && now > Due(show + 1)) {
                    // Behind by a whole picture: skip this one to catch up.
                    ++m_stats.frames_dropped;
                    m_position = show;
                    m_picture_stale = true;
                    lock.unlock();
                    av_frame_free(&m_shown);
                    m_shown = m_decoder.CurrentFrame();
                    lock.lock();
                    continue;
                }
                MciWindow window = m_window;
                MciRect dest = m_dest;
                lock.unlock();
                av_frame_free(&m_shown);
                m_shown = m_decoder.CurrentFrame();
                if (window && m_shown) {
                    if (MciFramePtr frame = RenderFrame(m_shown, show, dest))
                        MciWindowRegistry::DeliverFrame(window, std::move(frame));
                }
                auto shown_at = Clock::now();
                double sounding = m_audio ? m_audio->SoundingTime(shown_at) : -1;
                lock.lock();
                double late_ms = std::chrono::duration<double, std::milli>(shown_at - due).count();
                ++m_stats.frames_shown;
                if (shown_at < due)
                    ++m_stats.frames_early;
                if (late_ms > kLateMs)
                    ++m_stats.frames_late;
                m_stats.max_late_ms = std::max(m_stats.max_late_ms, late_ms);
                if (sounding >= 0)
                    m_stats.max_av_offset_ms = std::max(m_stats.max_av_offset_ms, std::abs(sounding - show * m_frame_duration) * 1000);
                m_position = show;
                m_picture_stale = false;
            }
        }
        if (!notices.empty()) {
            lock.unlock();
            for (const Notice& notice : notices)
                MciWindowRegistry::PostNotify(notice.window, notice.code, m_id);
            lock.lock();
        }
    }
}
