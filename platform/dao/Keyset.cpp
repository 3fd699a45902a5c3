#include "platform/dao/Keyset.h"

#include <algorithm>

namespace kel::dao {

void Keyset::Append(std::int64_t rowid) {
    if ((m_size >> kBits) >= m_chunks.size()) {
        auto chunk = std::make_unique_for_overwrite<ChunkData>();
        std::fill(std::begin(chunk->deleted), std::end(chunk->deleted), 0);
        m_chunks.push_back(std::move(chunk));
    }
    ChunkData& c = *m_chunks[m_size >> kBits];
    c.keys[m_size & kMask] = rowid;
    ++m_size;
}

void Keyset::SetCheck(size_t pos, std::uint32_t check) {
    while (m_checks.size() < m_chunks.size())
        m_checks.push_back(std::make_unique<std::uint32_t[]>(kPerChunk));
    m_checks[pos >> kBits][pos & kMask] = check;
}

void Keyset::Truncate(size_t size) {
    if (size >= m_size)
        return;
    for (size_t pos = size; pos < m_size && (pos & kMask); ++pos)
        Chunk(pos).deleted[(pos & kMask) >> 6] &= ~(1ull << (pos & 63));
    m_size = size;
    m_chunks.resize((size + kMask) >> kBits);
    if (m_checks.size() > m_chunks.size())
        m_checks.resize(m_chunks.size());
}

void Keyset::Clear() {
    m_chunks.clear();
    m_checks.clear();
    m_size = 0;
}

size_t Keyset::FindLinear(std::int64_t rowid) const {
    for (size_t pos = m_size; pos-- > 0;) {
        if (At(pos) == rowid)
            return pos;
    }
    return npos;
}

std::vector<std::int64_t> Keyset::SortedKeys() const {
    std::vector<std::int64_t> keys;
    keys.reserve(m_size);
    for (size_t pos = 0; pos < m_size; ++pos)
        keys.push_back(At(pos));
    std::sort(keys.begin(), keys.end());
    return keys;
}

void SortedKeys::CatchUp(const Keyset& keys) {
    if (keys.Size() < m_covered)
        Clear(); // truncated: start again
    if (keys.Size() == m_covered)
        return;
    const size_t from = m_small.size();
    for (size_t pos = m_covered; pos < keys.Size(); ++pos)
        m_small.push_back(keys.At(pos));
    std::sort(m_small.begin() + static_cast<std::ptrdiff_t>(from), m_small.end());
    std::inplace_merge(m_small.begin(), m_small.begin() + static_cast<std::ptrdiff_t>(from),
                       m_small.end());
    m_covered = keys.Size();
    if (m_small.size() > m_large.size() / 4 + 1024) {
        const size_t mid = m_large.size();
        m_large.insert(m_large.end(), m_small.begin(), m_small.end());
        std::inplace_merge(m_large.begin(), m_large.begin() + static_cast<std::ptrdiff_t>(mid),
                           m_large.end());
        m_small.clear();
    }
}

bool SortedKeys::Contains(std::int64_t key) const {
    return std::binary_search(m_small.begin(), m_small.end(), key) ||
           std::binary_search(m_large.begin(), m_large.end(), key);
}

void SortedKeys::Clear() {
    m_large.clear();
    m_large.shrink_to_fit();
    m_small.clear();
    m_small.shrink_to_fit();
    m_covered = 0;
}

} // namespace kel::dao
