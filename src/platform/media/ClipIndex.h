#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

// The pictures of a clip and where its key frames lie: what the picture numbering and seeking rest
// on. Pictures are numbered from 0 in the order they are shown; there is one per video packet that
// is meant to be shown (packets the container marks to be decoded but not shown, and empty
// packets, which repeat the picture before, count for none).
//
// Filled once, either at open from the container's own index or by a scan of the file on a thread
// of its own (ClipScanner). Until then the length is an estimate from the clip's duration, and a
// seek waits for the index. Thread-safe.
class ClipIndex {
public:
    struct Key {
        int picture { 0 };       // its number among the pictures
        std::int64_t pos { -1 }; // byte position of its packet, or -1
        std::int64_t dts { 0 };  // decoding time stamp, stream time base; kNoTime when unknown
        std::int64_t pts { 0 };  // presentation time stamp, likewise
    };
    static constexpr std::int64_t kNoTime = INT64_MIN;

    // Takes packets in file (decoding) order and works out the keys and the count. A key frame's
    // number is the count of packets before it, plus the packets after it that are shown before it
    // (the reordered pictures of an open group, as MPEG-2 has them).
    class Builder {
    public:
        void Add(bool key, std::int64_t pos, std::int64_t dts, std::int64_t pts);
        int Count() const { return m_count; }
        std::vector<Key> TakeKeys();

    private:
        std::vector<Key> m_keys;
        int m_count { 0 };
    };

    // The length to report until the index is filled.
    void SetEstimate(int pictures);
    // The index is complete: `count` pictures, `keys` in file order (not empty unless count is 0).
    void Fill(std::vector<Key> keys, int count);
    // Nothing more will come (the scan failed or was stopped): the estimate stays, seeks go to the
    // start.
    void GiveUp();

    int Length() const;
    bool Filled() const;
    // Waits up to `limit` for the index; true when it is filled.
    bool WaitFilled(std::chrono::milliseconds limit) const;
    // The last key frame at or before `picture` (waiting for the index first); the start when the
    // index never came. nullopt when the clip has no key frame at all.
    std::optional<Key> KeyFor(int picture) const;
    // The key frame before `key` (the same one when it is the first).
    std::optional<Key> KeyBefore(const Key& key) const;

private:
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    std::vector<Key> m_keys;
    int m_length { 0 };
    bool m_filled { false };
    bool m_given_up { false };
};
