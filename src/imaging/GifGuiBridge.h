#pragma once

#include <cstdint>
#include <functional>

// How animation reaches the GUI thread and the clock: one narrow seam over the application object,
// so that the painter's hand-over rules live in one place.
namespace GifGuiBridge {

// Runs `call` on the GUI thread and waits until it has run (at once when called on it).
void Synchronize(const std::function<void()>& call);
// On the GUI thread: runs the synchronised calls other threads are waiting for.
void ServicePending();
// Hands the queued messages of the calling thread to their windows (synchronous painting).
void ProcessMessages();
// The millisecond clock.
std::uint32_t Now();

} // namespace GifGuiBridge
