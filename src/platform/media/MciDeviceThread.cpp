// The video device's own thread: it owns the decoder, serves the jobs that commands hand it (a
// seek, a fresh picture for a changed window or destination), and while the device plays shows
// each picture when the clock reaches its time, then lets the sound run out.
#include "platform/media/MciVideoDevice.h"

#include "platform/media/MciWindowRegistry.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kLateMs = 20.0; // a picture shown later than this counts as late
// How far ahead of the clock the sound after the last picture is decoded, and how often the
// device looks at it.
constexpr double kTailAhead = 0.5;
constexpr std::chrono::milliseconds kTailLook { 100 };

} // namespace

std::shared_ptr<const AVFrame> MciVideoDevice::CurrentPicture()
{
    AVFrame* current = m_decoder.CurrentFrame();
    if (!current)
        return nullptr;
    return std::shared_ptr<const AVFrame>(current, [](const AVFrame* done) {
        AVFrame* owned = const_cast<AVFrame*>(done);
        av_frame_free(&owned);
    });
}

// The picture goes to the window as a reference to the decoded frame, its first scaling step
// taken here at the size the window shows it (its own pixels, or more on a scaled screen); the
// window's thread scales it the rest of the way, straight into its pixels.
MciFramePtr MciVideoDevice::MakeFrame(const std::shared_ptr<const AVFrame>& picture, MciRect dest, int index,
    MciWindow window)
{
    if (!picture)
        return nullptr;
    auto made = std::make_shared<MciFrame>();
    made->picture = picture;
    double scale = window ? MciWindowRegistry::PixelScale(window) : 1;
    made->prepared = m_resizer.Resize(*picture, int(std::lround(dest.right * scale)), int(std::lround(dest.bottom * scale)));
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
        const int length = Length();
        if (m_decoder.SeekTo(std::clamp(target, 0, length - 1)))
            m_shown = CurrentPicture();
        if (m_audio)
            m_audio->Clear();
        m_ahead_index = m_decoder.CurrentIndex();
        m_ahead_time = m_decoder.CurrentTime();
        m_ahead_picture = m_shown;
        m_ahead_frame = nullptr;
        m_ahead_window = 0;
        m_pictures_ended = false;
        m_sound_ended = false;
        // At the end the position stands after the last picture, which stays in the window.
        double time = target >= length ? m_ahead_time + m_decoder.PictureDuration() : m_ahead_time;
        Lock lock(m_lock);
        m_job_time = time;
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
    if (window) {
        if (MciFramePtr frame = MakeFrame(m_shown, dest, target, window))
            MciWindowRegistry::DeliverFrame(window, std::move(frame));
    }
}

void MciVideoDevice::RunThread()
{
    Lock lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [&] { return m_quit || m_job != Job::None || m_mode == Mode::Playing || m_picture_stale; });
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
            lock.lock();
            m_picture_stale = false;
            m_job_done = serial;
            m_done.notify_all();
            continue;
        }
        std::vector<Notice> notices;
        PlayStep(lock, notices);
        if (!notices.empty()) {
            lock.unlock();
            Post(notices, m_id);
            lock.lock();
        }
    }
}

// One step of playback: decode the next picture ahead of its time, show it when its time comes,
// or end the range once the last picture has had its time and the sound has run out.
void MciVideoDevice::PlayStep(Lock& lock, std::vector<Notice>& notices)
{
    const int play_to = PlayTo();
    if (m_position >= play_to) {
        if (!PlaySoundTail(lock)) {
            // Pictures the clip counts but its data lacked (damage, a cut file): a failure unless
            // only the last one or two are missing.
            bool complete = m_ahead_index >= std::min(play_to, Length()) - 2;
            EndPlay(notices, complete ? MCI_NOTIFY_SUCCESSFUL : MCI_NOTIFY_FAILURE);
        }
        return;
    }
    const int next = m_position + 1;
    const bool in_range = next < play_to;
    if (in_range && m_ahead_index < next && !m_pictures_ended) {
        MciWindow window = m_window;
        MciRect dest = m_dest;
        lock.unlock();
        bool got = m_decoder.DecodeNext();
        int index = m_decoder.CurrentIndex();
        double time = m_decoder.CurrentTime();
        std::shared_ptr<const AVFrame> picture = got ? CurrentPicture() : nullptr;
        MciFramePtr frame = MakeFrame(picture, dest, index, window);
        lock.lock();
        if (got) {
            m_ahead_index = index;
            m_ahead_time = time;
            m_ahead_picture = std::move(picture);
            m_ahead_frame = std::move(frame);
            m_ahead_window = window;
            m_ahead_dest = dest;
        } else {
            m_pictures_ended = true;
        }
        return;
    }
    if (in_range && m_ahead_index >= next) {
        ShowNext(lock);
        return;
    }
    // The end of the range, or of the pictures the data holds: the last picture has its time,
    // then the position stands at the end.
    std::uint64_t serial = m_play_serial;
    double end = m_position_time + m_decoder.PictureDuration();
    if (m_wake.wait_until(lock, Due(end), [&] { return m_quit || m_job != Job::None || m_play_serial != serial; }))
        return;
    m_position = play_to;
    m_position_time = end;
}

void MciVideoDevice::ShowNext(Lock& lock)
{
    std::uint64_t serial = m_play_serial;
    const int show = m_ahead_index;
    const double time = m_ahead_time;
    const auto due = Due(time);
    if (m_wake.wait_until(lock, due, [&] { return m_quit || m_job != Job::None || m_play_serial != serial; }))
        return;
    auto now = Clock::now();
    if (show + 1 < PlayTo() && now > Due(time + m_decoder.PictureDuration())) {
        // Behind by a whole picture: skip this one to catch up.
        ++m_stats.frames_dropped;
        m_position = show;
        m_position_time = time;
        m_picture_stale = true;
        m_shown = m_ahead_picture;
        return;
    }
    // The picture was made ready when it was decoded; when the window or the destination changed
    // since, it is made again (unlocked). It is shown only if playback has not moved meanwhile, so
    // that a clip paused or stopped keeps the position of the picture in its window.
    std::shared_ptr<const AVFrame> picture = m_ahead_picture;
    MciFramePtr frame = m_ahead_frame;
    if (m_ahead_window != m_window || std::memcmp(&m_ahead_dest, &m_dest, sizeof m_dest) != 0) {
        MciRect dest = m_dest;
        MciWindow window = m_window;
        lock.unlock();
        frame = MakeFrame(picture, dest, show, window);
        lock.lock();
        if (m_play_serial != serial || m_quit || m_job != Job::None)
            return;
    }
    m_shown = std::move(picture);
    if (m_window && frame)
        MciWindowRegistry::DeliverFrame(m_window, std::move(frame));
    auto shown_at = Clock::now();
    double sounding = m_audio ? m_audio->SoundingTime(shown_at) : -1;
    double late_ms = std::chrono::duration<double, std::milli>(shown_at - due).count();
    ++m_stats.frames_shown;
    if (shown_at < due)
        ++m_stats.frames_early;
    if (late_ms > kLateMs)
        ++m_stats.frames_late;
    m_stats.max_late_ms = std::max(m_stats.max_late_ms, late_ms);
    if (sounding >= 0)
        m_stats.max_av_offset_ms = std::max(m_stats.max_av_offset_ms, std::abs(sounding - time) * 1000);
    m_position = show;
    m_position_time = time;
    m_picture_stale = false;
}

// After the last picture of the clip the sound may go on (a clip whose sound is longer than its
// pictures): the device keeps playing, the position at the end, until the sound has been heard.
// True while it does.
bool MciVideoDevice::PlaySoundTail(Lock& lock)
{
    if (!m_audio || !m_to_end)
        return false;
    std::uint64_t serial = m_play_serial;
    auto now = Clock::now();
    double clock = ClockTime(now);
    if (!m_sound_ended) {
        lock.unlock();
        bool more = m_decoder.FeedSound(clock + kTailAhead);
        lock.lock();
        if (!more)
            m_sound_ended = true;
        if (m_play_serial != serial || m_quit || m_job != Job::None)
            return true; // a command came meanwhile: look again
    }
    double end = m_decoder.SoundEnd();
    if (m_sound_ended && end <= clock)
        return false;
    auto until = m_sound_ended ? Due(end) : std::min(Due(end), now + kTailLook);
    m_wake.wait_until(lock, until, [&] { return m_quit || m_job != Job::None || m_play_serial != serial; });
    return true;
}
