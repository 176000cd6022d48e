#pragma once

#include "framework/TWinControl.h"
#include "platform/media/Mci.h"

#include <memory>

class MciPictureScaler;
class WindowBackend;
class WindowScale;

// The animation control, used here only as the surface a media device shows its pictures on. The
// control registers itself as a media display window; the device hands it each picture on the
// device's own thread, the picture travels to the GUI thread by a posted message, and the control
// paints the latest one over its colour. A picture stays until the device sends another or tells
// the control to show nothing of it any more. Where the window is shown scaled (a high-density
// screen), pictures are scaled once, straight to the screen's resolution, whenever nothing lies
// over the control.
class TAnimate : public TWinControl {
public:
    explicit TAnimate(TComponent* owner);
    ~TAnimate() override;

    // The window handle a media device is pointed at (MCI_WINDOW).
    MciWindow Handle() const { return m_handle; }

    void Paint(TCanvas& canvas) override;

    // The picture showing (null: none) and how many pictures have reached the GUI thread, and how
    // many of them were replaced by a newer one before they could be shown. GUI thread only.
    const MciFramePtr& Picture() const { return m_picture; }
    int PicturesReceived() const { return m_received; }
    int PicturesSkipped() const { return m_skipped; }

private:
    struct Mailbox;
    void Receive();
    bool CanDrawDirectly() const;
    void DrawPicture(TCanvas& canvas);
    void WatchScreen();
    bool DrawsOnScreen() const;
    void DrawOnScreen(PixelBuffer& screen, Point origin, const WindowScale& scale, Rect clip);

    std::shared_ptr<Mailbox> m_mailbox;
    std::unique_ptr<MciPictureScaler> m_scaler;
    std::unique_ptr<MciPictureScaler> m_screen_scaler; // at the screen's resolution
    WindowBackend* m_screen { nullptr };                // drawing on it at its resolution
    MciWindow m_handle { 0 };
    MciFramePtr m_picture;
    int m_received { 0 };
    int m_skipped { 0 };
};
