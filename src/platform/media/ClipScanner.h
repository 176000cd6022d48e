#pragma once

#include "platform/media/ClipIndex.h"

#include <atomic>
#include <filesystem>
#include <thread>

// Reads a clip file once from start to end on a thread of its own, without decoding, and fills the
// clip's index from what it meets: for a clip with pictures, the video packets counted and the key
// frames noted; for a sound-only clip, how long the sound lasts, in pictures of `picture_seconds`.
// For containers that keep no index (MPEG streams, ASF) or whose index is lost (an AVI file cut
// short). Reading stops at the end of the data or at damage the demuxer cannot pass.
class ClipScanner {
public:
    enum class Kind { Pictures, Sound };

    ClipScanner(std::filesystem::path file, int stream, Kind kind, double picture_seconds, ClipIndex& index);
    // Stops the scan (the index gives up unless it was filled) and waits for the thread.
    ~ClipScanner();
    ClipScanner(const ClipScanner&) = delete;
    ClipScanner& operator=(const ClipScanner&) = delete;

private:
    void Run();
    bool Scan();

    const std::filesystem::path m_file;
    const int m_stream;
    const Kind m_kind;
    const double m_picture_seconds;
    ClipIndex& m_index;
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};
