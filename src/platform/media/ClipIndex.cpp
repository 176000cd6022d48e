#include "platform/media/ClipIndex.h"

#include <algorithm>

void ClipIndex::Builder::Add(bool key, std::int64_t pos, std::int64_t dts, std::int64_t pts)
{
    if (key || m_keys.empty()) {
        // The first packet is where decoding starts, whatever its flag says.
        m_keys.push_back({ m_count, pos, dts, pts });
    } else {
        Key& last = m_keys.back();
        if (pts != kNoTime && last.pts != kNoTime && pts < last.pts)
            ++last.picture; // shown before the key frame although filed after it
    }
    ++m_count;
}

std::vector<ClipIndex::Key> ClipIndex::Builder::TakeKeys()
{
    return std::move(m_keys);
}

void ClipIndex::SetEstimate(int pictures)
{
    std::lock_guard guard(m_lock);
    if (!m_filled)
        m_length = std::max(0, pictures);
}

void ClipIndex::Fill(std::vector<Key> keys, int count)
{
    std::lock_guard guard(m_lock);
    m_keys = std::move(keys);
    m_length = count;
    m_filled = true;
    m_changed.notify_all();
}

void ClipIndex::GiveUp()
{
    std::lock_guard guard(m_lock);
    m_given_up = true;
    m_changed.notify_all();
}

int ClipIndex::Length() const
{
    std::lock_guard guard(m_lock);
    return m_length;
}

bool ClipIndex::Filled() const
{
    std::lock_guard guard(m_lock);
    return m_filled;
}

bool ClipIndex::WaitFilled(std::chrono::milliseconds limit) const
{
    std::unique_lock lock(m_lock);
    m_changed.wait_for(lock, limit, [&] { return m_filled || m_given_up; });
    return m_filled;
}

std::optional<ClipIndex::Key> ClipIndex::KeyFor(int picture) const
{
    std::unique_lock lock(m_lock);
    m_changed.wait(lock, [&] { return m_filled || m_given_up; });
    if (!m_filled)
        return Key { 0, -1, kNoTime, kNoTime };
    if (m_keys.empty())
        return std::nullopt;
    // Keys lie in file order; with reordered pictures their numbers still rise.
    auto after = std::upper_bound(m_keys.begin(), m_keys.end(), picture,
        [](int wanted, const Key& key) { return wanted < key.picture; });
    return after == m_keys.begin() ? m_keys.front() : *(after - 1);
}

std::optional<ClipIndex::Key> ClipIndex::KeyBefore(const Key& key) const
{
    std::lock_guard guard(m_lock);
    if (m_keys.empty())
        return std::nullopt;
    auto at = std::lower_bound(m_keys.begin(), m_keys.end(), key.picture,
        [](const Key& k, int wanted) { return k.picture < wanted; });
    return at == m_keys.begin() ? m_keys.front() : *(at - 1);
}
