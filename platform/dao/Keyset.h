// The keys of a dynaset in its order: one 64-bit rowid per record plus a deleted bit, in
// fixed-size chunks so that growing never copies and a million rows take 8 MB. Where a rowid
// alone could name another record later (a table whose key is not its rowid, whose rowid the
// engine gives to the next row when the last one goes), each key also carries a 32-bit check of
// the record's key values (4 bytes more per record).
// Private to the data-access classes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kel::dao {

class Keyset {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    size_t Size() const { return m_size; }
    std::int64_t At(size_t pos) const { return Chunk(pos).keys[pos & kMask]; }
    // The check of the record at pos; 0 when the keyset keeps none.
    std::uint32_t Check(size_t pos) const {
        return m_checks.empty() ? 0 : m_checks[pos >> kBits][pos & kMask];
    }
    void SetCheck(size_t pos, std::uint32_t check);
    void Set(size_t pos, std::int64_t rowid) { Chunk(pos).keys[pos & kMask] = rowid; }
    void Append(std::int64_t rowid);
    // Drops the keys from pos on (a keying run that failed half-way).
    void Truncate(size_t size);
    void Clear();

    bool IsDeleted(size_t pos) const {
        return (Chunk(pos).deleted[(pos & kMask) >> 6] >> (pos & 63)) & 1;
    }
    void MarkDeleted(size_t pos) { Chunk(pos).deleted[(pos & kMask) >> 6] |= 1ull << (pos & 63); }

    // Position of a rowid by a scan, from the end back (recent rows first); npos when absent.
    size_t FindLinear(std::int64_t rowid) const;
    // The keys in ascending order, to test many rowids for membership at once.
    std::vector<std::int64_t> SortedKeys() const;

    // Bytes held for the keys (what a million keyed rows cost).
    size_t MemoryBytes() const {
        return m_chunks.size() * sizeof(ChunkData) +
               m_checks.size() * kPerChunk * sizeof(std::uint32_t);
    }

private:
    static constexpr size_t kBits = 13;
    static constexpr size_t kPerChunk = size_t(1) << kBits;
    static constexpr size_t kMask = kPerChunk - 1;
    struct ChunkData {
        std::int64_t keys[kPerChunk];
        std::uint64_t deleted[kPerChunk / 64];
    };
    ChunkData& Chunk(size_t pos) const { return *m_chunks[pos >> kBits]; }

    std::vector<std::unique_ptr<ChunkData>> m_chunks;
    std::vector<std::unique_ptr<std::uint32_t[]>> m_checks; // parallel to m_chunks, when used
    size_t m_size = 0;
};

// The keys of a keyset in ascending order, brought up to date as keys are appended: a large
// sorted part and a small one, merged into it once it has grown by a quarter, so that keeping
// up costs O(log n) per key and no catch-up sorts the whole keyset again.
class SortedKeys {
public:
    void CatchUp(const Keyset& keys);
    bool Contains(std::int64_t key) const;
    void Clear();

private:
    std::vector<std::int64_t> m_large, m_small;
    size_t m_covered = 0;
};

} // namespace kel::dao
