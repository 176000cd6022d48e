#pragma once

#include "platform/media/Mci.h"

// The windows devices post to (MciCreateWindow, MciDestroyWindow are the public side). Posting to
// a window that does not exist (any more) does nothing.
namespace MciWindowRegistry {

bool Exists(MciWindow window);
void PostNotify(MciWindow window, std::uint32_t code, MciDeviceId device);
void DeliverFrame(MciWindow window, MciFramePtr frame);
// The window's screen pixels per pixel of its own (1 for a window that does not say).
double PixelScale(MciWindow window);

} // namespace MciWindowRegistry
