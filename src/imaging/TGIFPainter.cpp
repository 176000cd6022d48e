#include "imaging/TGIFPainter.h"

#include "framework/TBitmap.h"
#include "imaging/GifGuiBridge.h"
#include "imaging/TGIFImage.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

int MulDivRound(long long a, long long b, long long c)
{
    long long p = a * b;
    long long half = (c > 0 ? c : -c) / 2;
    return int(p >= 0 ? (p + half) / c : (p - half) / c);
}

// Threads of painters that have ended, waiting to be joined. Joined at the latest when the
// process ends, so that no thread object is destroyed while joinable.
struct EndedThreads {
    std::mutex mutex;
    std::vector<std::thread> threads;
    ~EndedThreads()
    {
        for (std::thread& thread : threads)
            if (thread.joinable())
                thread.join();
    }
};

EndedThreads& Ended()
{
    static EndedThreads ended;
    return ended;
}

} // namespace

void TGIFPainter::JoinEndedThreads()
{
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(Ended().mutex);
        threads.swap(Ended().threads);
    }
    for (std::thread& thread : threads)
        thread.join(); // each has run its last hand-over already and only returns
}

int TGIFPainter::FrameDelay(int file_delay, bool threaded)
{
    int delay = kDefaultDelay;
    if (file_delay > 0)
        delay = std::max(file_delay, kMinimumDelay);
    if (!threaded)
        delay = std::min(delay, kMaximumSyncDelay);
    return delay;
}

int TGIFPainter::ComputeWait(int delay, int lateness, int speed)
{
    return MulDivRound(delay * kMsPerUnit - lateness / 2, 100, speed);
}

TGIFPainter::TGIFPainter(TGIFImage* image, unsigned options, Rect rect, TCanvas* surface, TGIFPainter** slot)
    : m_image(image)
    , m_options(options)
    , m_rect(rect)
    , m_surface(surface)
    , m_slot(slot)
    , m_speed(image->AnimationSpeed)
{
    const int frames = image->FrameCount();
    if (frames == 1)
        m_options &= ~unsigned(TGIFImage::ThreadedPainting | TGIFImage::PlayFrames);
    m_threaded = m_options & TGIFImage::ThreadedPainting;
    m_has_event = (m_options & TGIFImage::ThreadedPainting) && (m_options & TGIFImage::PlayFrames) && frames > 1
        && m_speed >= 0;

    // The colour that restores the background.
    if (image->BackgroundColor != TGIFImage::kBackgroundUnset)
        m_background = image->BackgroundColor;
    else if (image->Header().ColorMap().Empty())
        m_background = ColorToRGB(clWindow);
    else
        m_background = image->Header().BackgroundColor();

    bool uses_background = m_options & TGIFImage::ClearEachPass;
    bool uses_previous = false;
    for (int i = 0; i < frames; ++i)
        if (TGIFGraphicControlExtension* control = image->Frame(i).GraphicControlExtension()) {
            uses_background |= control->Disposal() == 2;
            uses_previous |= control->Disposal() == 3;
        }
    const int w = rect.Width();
    const int h = rect.Height();
    auto snapshot = [&] {
        auto copy = std::make_unique<TBitmap>();
        copy->SetPixelFormat(TPixelFormat::pf32bit);
        copy->SetSize(w, h);
        copy->Canvas().Brush().Color = m_background;
        copy->Canvas().FillRect(Rect::FromSize(0, 0, w, h));
        copy->Canvas().CopyRect(Rect::FromSize(0, 0, w, h), *surface, rect);
        return copy;
    };
    if (uses_background && (m_options & TGIFImage::DrawTransparent))
        m_background_copy = snapshot();
    if (uses_background || uses_previous) {
        m_backup = snapshot();
        m_frame_buffer = std::make_unique<TBitmap>();
        m_frame_buffer->SetPixelFormat(TPixelFormat::pf32bit);
        m_frame_buffer->SetSize(w, h);
        m_frame_buffer->Canvas().Brush().Color = m_background;
        m_frame_buffer->Canvas().FillRect(Rect::FromSize(0, 0, w, h));
    }

    std::lock_guard lock(image->PainterLock());
    if (m_slot)
        *m_slot = this;
    image->Painters().push_back(this);
}

TGIFPainter::~TGIFPainter()
{
    CleanUp();
}

void TGIFPainter::CleanUp()
{
    if (TGIFImage* image = m_image) {
        std::lock_guard lock(image->PainterLock());
        if (m_slot && *m_slot == this)
            *m_slot = nullptr;
        auto& list = image->Painters();
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        m_image = nullptr;
    }
    m_backup.reset();
    m_frame_buffer.reset();
    m_background_copy.reset();
}

void TGIFPainter::Detach()
{
    m_image = nullptr;
}

void TGIFPainter::Stop()
{
    m_terminated = true;
    if (m_threaded) {
        std::lock_guard lock(m_event_mutex);
        m_event_signalled = true;
        m_event_cv.notify_all();
    }
}

bool TGIFPainter::WaitEvent(int ms)
{
    std::unique_lock lock(m_event_mutex);
    auto signalled = [this] { return m_event_signalled; };
    bool by_event = ms < 0 ? (m_event_cv.wait(lock, signalled), true)
                           : m_event_cv.wait_for(lock, std::chrono::milliseconds(ms), signalled);
    m_event_signalled = false; // auto-reset
    return by_event;
}

void TGIFPainter::Start()
{
    if (!m_threaded)
        return;
    m_thread = std::thread([this] {
        Execute();
        if (m_error)
            GifGuiBridge::Synchronize([this] {
                if (m_image)
                    m_image->AnimationFailed(m_error);
            });
        // The framework's termination handling: clean up and free on the GUI thread, and leave
        // this thread to be joined there. Nothing of this object is touched after that call.
        GifGuiBridge::Synchronize([this] {
            {
                std::lock_guard lock(Ended().mutex);
                Ended().threads.push_back(std::move(m_thread));
            }
            delete this;
        });
    });
}

void TGIFPainter::Run()
{
    Execute();
}

void TGIFPainter::Execute()
{
    try {
        m_active_frame = 0;
        m_started = false;
        int passes = 1;
        int loop_start = 0;
        bool loop_seen = false;
        int delay = m_threaded ? 0 : 1;
        m_previous_disposal = 1;
        m_last_time = GifGuiBridge::Now();
        m_last_wait = 0;
        const bool play = m_options & TGIFImage::PlayFrames;
        while ((passes != 0 || (m_options & TGIFImage::RepeatForever)) && !Terminated()) {
            m_active_frame = loop_start;
            while (!Terminated()) {
                TGIFImage* image = m_image;
                if (!image || m_active_frame >= image->FrameCount())
                    break;
                TGIFSubImage& frame = image->Frame(m_active_frame);
                if (frame.Empty())
                    break; // an empty frame ends the pass
                WaitForFrame(frame, delay);
                if (Terminated())
                    break;
                m_disposal = 1;
                for (const auto& extension : frame.Extensions()) {
                    if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(extension.get()); loop && !loop_seen) {
                        loop_seen = true;
                        if (m_threaded)
                            passes = loop->Loops() == 0 || (m_options & TGIFImage::RepeatForever) ? -1 : loop->Loops();
                        loop_start = m_active_frame;
                    } else if (auto* control = dynamic_cast<TGIFGraphicControlExtension*>(extension.get()))
                        m_disposal = control->Disposal();
                }
                if (m_threaded)
                    GifGuiBridge::Synchronize([this] { PaintFrame(); });
                else
                    PaintFrame();
                m_previous_disposal = m_disposal;
                if (Terminated())
                    break;
                TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
                delay = FrameDelay(control ? control->Delay() : 0, m_threaded);
                m_active_frame = m_active_frame + 1;
                if (!play)
                    break;
            }
            if (passes > 0)
                --passes;
            if (!(play && (m_options & TGIFImage::RepeatLoops)))
                break;
        }
    } catch (...) {
        // Kept, not raised on this thread: a failing frame ends the animation, not the program.
        m_error = std::current_exception();
        m_terminated = true;
    }
    m_active_frame = -1;
}

void TGIFPainter::WaitForFrame(TGIFSubImage& frame, int delay)
{
    if (delay < 1) {
        std::this_thread::yield();
        return;
    }
    frame.Bitmap(); // rendered here, ahead of its turn, so that painting it only copies
    const std::uint32_t now = GifGuiBridge::Now();
    int wait;
    if (m_speed > 0) {
        int lateness = int(now - m_last_time) - m_last_wait;
        wait = ComputeWait(delay, lateness, m_speed);
        m_last_wait = wait;
    } else
        wait = m_threaded ? -1 : kMaximumSyncDelay * kMsPerUnit;
    m_last_time = now;
    if (m_threaded) {
        if (wait > 0 || m_speed == 0) {
            if (WaitEvent(m_speed == 0 ? -1 : wait)) {
                m_last_wait = 0;
                m_last_time = GifGuiBridge::Now();
            }
        }
        return;
    }
    int remaining = std::max(wait, 1);
    while (remaining > 0 && !Terminated()) {
        auto before = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(remaining, kMaximumSyncSleep)));
        remaining -= int(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before).count());
        if (!Terminated())
            GifGuiBridge::ProcessMessages();
    }
}

// On the GUI thread (threaded painters) or in the caller.
void TGIFPainter::PaintFrame()
{
    TGIFImage* image = m_image;
    if (Terminated() || !image)
        return; // no frame is painted once the painter is stopped or its image is gone
    if ((m_options & TGIFImage::WatchCanvas) && !m_surface->HandleAllocated()) {
        Stop(); // the target has gone: end quietly
        return;
    }
    TGIFSubImage& frame = image->Frame(m_active_frame);
    if (m_backup)
        PaintBuffered(frame);
    else
        PaintDirect(frame);
    image->AnimationPainted();
}

void TGIFPainter::PaintDirect(TGIFSubImage& frame)
{
    const bool transparent = m_options & TGIFImage::DrawTransparent;
    const bool tile = m_options & TGIFImage::TileImage;
    m_image->DrawFrame(frame, *m_surface, m_rect, transparent, tile);
    m_started = true;
}

void TGIFPainter::RestoreBackground(TBitmap& buffer, TGIFSubImage& frame)
{
    const Rect full = Rect::FromSize(0, 0, m_rect.Width(), m_rect.Height());
    auto restore = [&](Rect area) {
        if ((m_options & TGIFImage::DrawTransparent) && m_background_copy)
            buffer.Canvas().CopyRect(area, m_background_copy->Canvas(), area);
        else {
            buffer.Canvas().Brush().Color = m_background;
            buffer.Canvas().FillRect(area);
        }
    };
    if (m_options & TGIFImage::TileImage) {
        const int sw = std::max(1, m_image->Width());
        const int sh = std::max(1, m_image->Height());
        for (int y = 0; y < full.bottom; y += sh)
            for (int x = 0; x < full.right; x += sw)
                restore(frame.BoundsRect().Translated(x, y).Intersected(full));
    } else
        restore(m_image->FrameTarget(frame, full));
}

void TGIFPainter::PaintBuffered(TGIFSubImage& frame)
{
    const Rect full = Rect::FromSize(0, 0, m_rect.Width(), m_rect.Height());
    const bool transparent = m_options & TGIFImage::DrawTransparent;
    const bool tile = m_options & TGIFImage::TileImage;
    const bool clear_first = (m_options & TGIFImage::ClearEachPass) && m_active_frame == 0;
    auto draw_into = [&](TBitmap& buffer) {
        if (clear_first)
            RestoreBackground(buffer, frame);
        m_image->DrawFrame(frame, buffer.Canvas(), full, transparent, tile);
    };
    switch (m_disposal) {
    case 0:
    case 1:
    case 2:
        draw_into(*m_backup);
        m_surface->CopyRect(m_rect, m_backup->Canvas(), full);
        if (m_disposal == 2)
            RestoreBackground(*m_backup, frame);
        break;
    case 3:
        if (m_previous_disposal == 0 || m_previous_disposal == 1) {
            // The back-up still holds the picture before this frame: the next frame removes it.
            if (clear_first)
                RestoreBackground(*m_backup, frame);
            m_image->DrawFrame(frame, *m_surface, m_rect, transparent, tile);
        } else if (m_previous_disposal == 2 || m_previous_disposal == 3) {
            m_frame_buffer->Canvas().CopyRect(full, m_backup->Canvas(), full);
            draw_into(*m_frame_buffer);
            m_surface->CopyRect(m_rect, m_frame_buffer->Canvas(), full);
        }
        break;
    default:
        break; // reserved disposal methods: nothing is drawn for this frame
    }
    m_started = true;
}
