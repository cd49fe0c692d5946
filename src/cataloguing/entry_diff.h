#pragma once

#include <QByteArrayView>
#include <cstdint>
#include <optional>
#include <vector>

namespace platterly::cataloguing {

// What a disc's entries were and what they are now, told apart by the entry's place below the
// disc's root (its folder after the root, and its name) rather than by the drive it was read
// from: the entries that came, went and changed (in size, time or category).
//
// Each entry is kept as two hashes of 64 and 32 bits, so a million entries take about 32 MB;
// two different places would have to share a 64-bit hash to be taken for one (for a million
// entries, a chance of about one in thirty million), which would only miscount.
class EntryDiff
{
public:
    struct Entry
    {
        QByteArrayView folder; // PATH, from the disc's root on (the root itself cut off)
        QByteArrayView name;   // FNAME
        std::optional<qint64> type;
        std::optional<qint64> size;
        std::optional<qint64> modified;
    };

    // The entries as they were; `expected` sizes the table.
    void reserve(std::size_t expected);
    void addOld(const Entry& entry);
    // An entry as it is now: counted as added, changed or unchanged.
    void addNew(const Entry& entry);

    qint64 added() const { return m_added; }
    qint64 changed() const { return m_changed; }
    // The old entries no new one matched.
    qint64 removed() const;

private:
    struct Slot
    {
        std::uint64_t place = 0; // 0: empty
        std::uint32_t state = 0;
        std::uint32_t matched = 0;
    };
    void insert(const Slot& entry);
    Slot* findUnmatched(std::uint64_t place);

    std::vector<Slot> m_slots;
    std::size_t m_used = 0;
    qint64 m_added = 0;
    qint64 m_changed = 0;
};

// The part of a stored path below a disc's root: "D:\MUSIC\" below "D:\" is "MUSIC\". A path
// outside the root is given whole.
QByteArrayView belowRoot(QByteArrayView path, QByteArrayView root);

} // namespace platterly::cataloguing
