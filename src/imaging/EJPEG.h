#pragma once

#include "framework/Exception.h"

// libjpeg's fatal errors: "JPEG error #%d" with the library's message code.
VELMAR_EXCEPTION(EJPEG, EInvalidGraphic)
// An operation a graphic class does not allow ("Cannot change the size of a JPEG image").
VELMAR_EXCEPTION(EInvalidGraphicOperation, EInvalidGraphic)
