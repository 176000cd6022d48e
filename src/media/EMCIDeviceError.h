#pragma once

#include "framework/Exception.h"

// A media device refused to open a clip, or an operation needed an open device.
VELMAR_EXCEPTION(EMCIDeviceError, Exception)
