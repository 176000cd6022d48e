#include "framework/TAnimate.h"

#include "framework/TApplication.h"

#include <mutex>
#include <utility>

// What the device's thread leaves for the GUI thread: the newest picture, and whether a message to
// fetch it is on its way. `owner` is read and cleared on the GUI thread only.
struct TAnimate::Mailbox {
    std::mutex lock;
    MciFramePtr picture;
    bool has_picture { false };
    bool posted { false };
    int replaced { 0 }; // pictures that came while an earlier one still waited
    TAnimate* owner { nullptr };
};

TAnimate::TAnimate(TComponent* owner)
    : TWinControl(owner)
    , m_mailbox(std::make_shared<Mailbox>())
{
    SetColor(11840160); // red 160, green 170, blue 180
    m_mailbox->owner = this;
    std::weak_ptr<Mailbox> weak = m_mailbox;
    TApplication* application = Application; // read here, on the GUI thread
    m_handle = MciCreateWindow({
        nullptr,
        [weak, application](MciFramePtr picture) {
            std::shared_ptr<Mailbox> mailbox = weak.lock();
            if (!mailbox)
                return;
            bool post;
            {
                std::lock_guard guard(mailbox->lock);
                if (mailbox->has_picture)
                    ++mailbox->replaced;
                mailbox->picture = std::move(picture);
                mailbox->has_picture = true;
                post = !mailbox->posted;
                mailbox->posted = true;
            }
            if (post && application) {
                application->Post([mailbox] {
                    if (mailbox->owner)
                        mailbox->owner->Receive();
                });
            }
        },
    });
}

TAnimate::~TAnimate()
{
    MciDestroyWindow(m_handle); // no device calls in after this
    m_mailbox->owner = nullptr;
}

void TAnimate::Receive()
{
    int replaced;
    {
        std::lock_guard guard(m_mailbox->lock);
        m_mailbox->posted = false;
        if (!m_mailbox->has_picture)
            return;
        m_picture = std::move(m_mailbox->picture);
        m_mailbox->has_picture = false;
        replaced = std::exchange(m_mailbox->replaced, 0);
    }
    ++m_received;
    m_skipped += replaced;
    Invalidate();
}

void TAnimate::Paint(TCanvas& canvas)
{
    Rect client = ClientRect();
    if (!m_picture || m_picture->pixels.IsEmpty()) {
        TWinControl::Paint(canvas);
        return;
    }
    const PixelBuffer& pixels = m_picture->pixels;
    Rect area = Rect::FromSize(m_picture->left, m_picture->top, pixels.Width(), pixels.Height());
    if (area.Intersected(client) != client) {
        canvas.Brush().Color = Color();
        canvas.FillRect(client); // the picture leaves part of the control uncovered
    }
    canvas.DrawPixels(area, pixels, pixels.Bounds());
}
