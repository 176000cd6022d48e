#pragma once

#include "platform/Geometry.h"
#include "platform/Color.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class TBitmap;
class TCanvas;
class TGIFImage;
class TGIFSubImage;

// Shows the frames of a TGIFImage one after another with the delays, disposal methods and loop
// count the file asks for. A threaded painter keeps time on its own thread and hands every drawing
// to the GUI thread; a synchronous one runs in its caller.
class TGIFPainter {
public:
    // Timing, in milliseconds per delay unit (one hundredth of a second in the file) and in units.
    static constexpr int kMsPerUnit = 12;
    static constexpr int kDefaultDelay = 10;
    static constexpr int kMinimumDelay = 3;
    static constexpr int kMaximumSyncDelay = 1000;
    static constexpr int kMaximumSyncSleep = 100; // ms

    // `slot` is where the painter registers itself (the image's draw-painter slot) or null.
    TGIFPainter(TGIFImage* image, unsigned options, Rect rect, TCanvas* surface, TGIFPainter** slot);
    ~TGIFPainter();
    TGIFPainter(const TGIFPainter&) = delete;
    TGIFPainter& operator=(const TGIFPainter&) = delete;

    bool Threaded() const { return m_threaded; }
    // Starts the thread of a threaded painter; it frees itself when it has ended.
    void Start();
    // Plays the animation in the caller (synchronous painter).
    void Run();
    // Tells the painter to stop and cuts its wait short.
    void Stop();
    bool Terminated() const { return m_terminated.load(); }
    bool Started() const { return m_started.load(); }
    int ActiveFrame() const { return m_active_frame.load(); }
    TCanvas* Surface() const { return m_surface; }
    Rect Rectangle() const { return m_rect; }
    unsigned Options() const { return m_options; }
    // Clears the image reference: the painter no longer touches the image.
    void Detach();
    // The error that ended the run (same class and message), or none.
    std::exception_ptr StoredError() const { return m_error; }

    // Joins the threads of painters that have ended; afterwards nothing those threads did can
    // overlap what the caller does next (such as freeing the application object). GUI thread.
    static void JoinEndedThreads();

    // The delay of a frame in units: 10 without delay, at least 3, at most 1000 when synchronous.
    static int FrameDelay(int file_delay, bool threaded);
    // The wait in ms before the next frame: delay at 12 ms per unit, less half the lateness of the
    // previous frame, scaled by 100 / speed.
    static int ComputeWait(int delay, int lateness, int speed);

private:
    void Execute();
    void WaitForFrame(TGIFSubImage& frame, int delay);
    void PaintFrame();
    void PaintDirect(TGIFSubImage& frame);
    void PaintBuffered(TGIFSubImage& frame);
    void RestoreBackground(TBitmap& buffer, TGIFSubImage& frame);
    void CleanUp();
    bool WaitEvent(int ms); // true when the event, not the time-out, ended the wait

    TGIFImage* m_image;
    unsigned m_options;
    Rect m_rect;
    TCanvas* m_surface;
    TGIFPainter** m_slot;
    int m_speed;
    bool m_threaded { false };

    std::atomic<int> m_active_frame { -1 };
    std::atomic<bool> m_started { false };
    std::atomic<bool> m_terminated { false };
    int m_disposal { 1 };
    int m_previous_disposal { 1 };
    TColor m_background { clBlack };

    std::unique_ptr<TBitmap> m_backup;
    std::unique_ptr<TBitmap> m_frame_buffer;
    std::unique_ptr<TBitmap> m_background_copy;

    // The wake-up event: auto-reset, unsignalled at first.
    bool m_has_event { false };
    std::mutex m_event_mutex;
    std::condition_variable m_event_cv;
    bool m_event_signalled { false };

    std::uint32_t m_last_time { 0 };
    int m_last_wait { 0 };
    std::exception_ptr m_error;
    std::thread m_thread;
};
