#include "framework/TAnimate.h"

#include "framework/TApplication.h"
#include "framework/TForm.h"
#include "platform/media/MciPictureScaler.h"

#include <algorithm>
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
    , m_scaler(std::make_unique<MciPictureScaler>())
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
    if (CanDrawDirectly()) {
        // A video window draws its pictures straight onto the window: no repaint of the form
        // beneath, only the picture is copied and presented.
        DrawPicture(Canvas());
    } else {
        Invalidate();
    }
}

// Whether nothing lies over the control: no windowed sibling above it and no hint window.
bool TAnimate::CanDrawDirectly() const
{
    TForm* form = ParentForm();
    if (!form || !form->WindowCreated() || !Showing() || !form->HintWindowText().empty())
        return false;
    for (const TControl* control = this; control->Parent(); control = control->Parent()) {
        const auto& siblings = control->Parent()->Controls();
        auto it = std::find(siblings.begin(), siblings.end(), control);
        if (it == siblings.end())
            return false;
        for (++it; it != siblings.end(); ++it) {
            const TControl* above = *it;
            if (above->IsWindowed() && above->Visible() && !above->BoundsRect().Intersected(control->BoundsRect()).IsEmpty())
                return false;
        }
    }
    return true;
}

void TAnimate::Paint(TCanvas& canvas)
{
    DrawPicture(canvas);
}

void TAnimate::DrawPicture(TCanvas& canvas)
{
    Rect client = ClientRect();
    if (!m_picture || !m_picture->picture || m_picture->width <= 0 || m_picture->height <= 0) {
        TWinControl::Paint(canvas);
        return;
    }
    Rect area = Rect::FromSize(m_picture->left, m_picture->top, m_picture->width, m_picture->height);
    if (area.Intersected(client) != client) {
        canvas.Brush().Color = Color();
        canvas.FillRect(client); // the picture leaves part of the control uncovered
    }
    // Scaled straight into the window's pixels, on this (the GUI) thread.
    Point origin = canvas.Origin();
    canvas.WithPixels([&](PixelBuffer& pixels, Rect clip) { m_picture->Draw(*m_scaler, pixels, origin, clip); });
}
