#pragma once

// Adds the GIF and JPEG image classes to the picture registry ("gif", then "jpeg" and "jpg").
// The program calls it once at start; later calls do nothing.
void RegisterImageFormats();
// Removes them again (JPEG first, then GIF), as the image parts do at shutdown.
void UnregisterImageFormats();
