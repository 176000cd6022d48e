// Compiled as part of the framework layer this include must fail: the framework knows nothing of
// the picture formats above it. Compiled as part of the imaging layer it must succeed.
#include "imaging/TGIFImage.h"

int LayeringProbe() { return sizeof(TGIFImage) > 0 ? 0 : 1; }
