#pragma once

#include "framework/Exception.h"

// A failure while writing the sample disc: a file that cannot be written, an encoder that refuses.
VELMAR_EXCEPTION(EDiscError, Exception)
