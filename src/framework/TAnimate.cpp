#include "framework/TAnimate.h"

#include "framework/TApplication.h"
#include "framework/TForm.h"
#include "platform/Raster.h"
#include "platform/media/MciPictureScaler.h"

#include <algorithm>
#include <atomic>
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
    std::atomic<double> pixel_scale { 1 }; // screen pixels per window pixel, for the device
};

TAnimate::TAnimate(TComponent* owner)
    : TWinControl(owner)
    , m_mailbox(std::make_shared<Mailbox>())
    , m_scaler(std::make_unique<MciPictureScaler>())
    , m_screen_scaler(std::make_unique<MciPictureScaler>())
{
    SetColor(11840160); // red 160, green 170, blue 180
    m_mailbox->owner = this;
    std::weak_ptr<Mailbox> weak = m_mailbox;
    TApplication* application = Application; // read here, on the GUI thread
    m_handle = MciCreateWindow({
        .frame = [weak, application](MciFramePtr picture) {
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
        .pixel_scale = [weak] {
            std::shared_ptr<Mailbox> mailbox = weak.lock();
            return mailbox ? mailbox->pixel_scale.load() : 1.0;
        },
    });
}

TAnimate::~TAnimate()
{
    MciDestroyWindow(m_handle); // no device calls in after this
    m_mailbox->owner = nullptr;
    if (m_screen)
        m_screen->SetScreenDrawing({}, {});
}

// Where the window is shown scaled, the backend calls back on every present that touches the
// control, after scaling the window's own pixels; the device prepares pictures at that size.
void TAnimate::WatchScreen()
{
    TForm* form = ParentForm();
    WindowBackend* backend = form && form->WindowCreated() ? form->Backend() : nullptr;
    if (!backend || backend == m_screen || backend->ScaleFactor() == 1)
        return;
    m_screen = backend;
    m_mailbox->pixel_scale = backend->ScaleFactor();
    backend->SetScreenDrawing(VisibleWindowRect(), [this](PixelBuffer& screen, Point origin, const WindowScale& scale,
                                                       Rect clip) { DrawOnScreen(screen, origin, scale, clip); });
}

// Whether the picture goes straight to the screen: the window is shown scaled, there is a picture,
// and nothing lies over the control (no window, hint or error box).
bool TAnimate::DrawsOnScreen() const
{
    if (!m_screen || !m_picture || !m_picture->picture || m_picture->width <= 0 || m_picture->height <= 0)
        return false;
    if (!CanDrawDirectly())
        return false;
    const TErrorBox* box = ParentForm()->ErrorBox();
    return !box || box->BoundsRect().Intersected(VisibleWindowRect()).IsEmpty();
}

void TAnimate::DrawOnScreen(PixelBuffer& screen, Point origin, const WindowScale& scale, Rect clip)
{
    if (!DrawsOnScreen())
        return; // the window's own pixels show
    Point at = WindowOrigin();
    Rect client = scale.DeviceArea(ClientRect().Translated(at.x, at.y)).Translated(-origin.x, -origin.y);
    Rect area = scale.DeviceArea(Rect::FromSize(at.x + m_picture->left, at.y + m_picture->top, m_picture->width,
        m_picture->height)).Translated(-origin.x, -origin.y);
    Rect target_clip = clip.Translated(-origin.x, -origin.y);
    if (area.Intersected(client) != client)
        FillRect(screen, client, ColorToPixel(ColorToRGB(Color())), target_clip);
    m_picture->DrawAt(*m_screen_scaler, screen, area, target_clip.Intersected(client));
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
    WatchScreen();
    if (DrawsOnScreen()) {
        // Scaled once, straight to the screen's resolution, when the form presents the area.
        ParentForm()->SurfaceDrawn(VisibleWindowRect());
    } else if (CanDrawDirectly()) {
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
    WatchScreen();
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
