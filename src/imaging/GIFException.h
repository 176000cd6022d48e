#pragma once

#include "framework/Exception.h"

// A GIF file the reader or the renderer cannot use; the message is the one the user sees.
VELMAR_EXCEPTION(GIFException, EInvalidGraphic)
