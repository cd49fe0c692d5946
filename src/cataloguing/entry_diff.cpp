#include "cataloguing/entry_diff.h"

namespace platterly::cataloguing {

namespace {

constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kFnvPrime = 0x100000001b3ULL;

std::uint64_t mix(std::uint64_t hash, QByteArrayView bytes)
{
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kFnvPrime;
    }
    return hash;
}

std::uint64_t mix(std::uint64_t hash, const std::optional<qint64>& value)
{
    // A missing value and each present one hash apart.
    const std::uint64_t word = value ? static_cast<std::uint64_t>(*value) : 0x9e3779b97f4a7c15ULL;
    for (int shift = 0; shift < 64; shift += 8) {
        hash ^= (word >> shift) & 0xff;
        hash *= kFnvPrime;
    }
    hash ^= value ? 1 : 2;
    return hash * kFnvPrime;
}

std::uint64_t placeOf(const EntryDiff::Entry& entry)
{
    // A NUL between the two parts: neither holds one, so no two places run together.
    std::uint64_t hash = mix(kFnvOffset, entry.folder);
    hash = mix(hash, QByteArrayView("", 1));
    hash = mix(hash, entry.name);
    // Spread the bits, so that the low ones pick table slots evenly.
    hash ^= hash >> 29;
    hash *= 0xbf58476d1ce4e5b9ULL;
    hash ^= hash >> 32;
    return hash == 0 ? 1 : hash;
}

std::uint32_t stateOf(const EntryDiff::Entry& entry)
{
    std::uint64_t hash = mix(mix(mix(kFnvOffset, entry.type), entry.size), entry.modified);
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

} // namespace

QByteArrayView belowRoot(QByteArrayView path, QByteArrayView root)
{
    return path.startsWith(root) ? path.sliced(root.size()) : path;
}

void EntryDiff::reserve(std::size_t expected)
{
    std::size_t size = 1024;
    while (size < expected * 2)
        size *= 2;
    if (size <= m_slots.size())
        return;
    std::vector<Slot> old(size);
    old.swap(m_slots);
    for (const Slot& slot : old)
        if (slot.place != 0)
            insert(slot);
}

void EntryDiff::insert(const Slot& entry)
{
    // Open addressing, each slot after the one before: a place met twice (two rows of one
    // entry) takes two slots, and each new entry matches one of them.
    const std::size_t mask = m_slots.size() - 1;
    std::size_t at = entry.place & mask;
    while (m_slots[at].place != 0)
        at = (at + 1) & mask;
    m_slots[at] = entry;
}

EntryDiff::Slot* EntryDiff::findUnmatched(std::uint64_t place)
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t at = place & mask; m_slots[at].place != 0; at = (at + 1) & mask)
        if (m_slots[at].place == place && !m_slots[at].matched)
            return &m_slots[at];
    return nullptr;
}

void EntryDiff::addOld(const Entry& entry)
{
    if ((m_used + 1) * 2 > m_slots.size())
        reserve(m_used + 1);
    insert({placeOf(entry), stateOf(entry), 0});
    ++m_used;
}

void EntryDiff::addNew(const Entry& entry)
{
    if (m_slots.empty()) {
        ++m_added;
        return;
    }
    Slot* slot = findUnmatched(placeOf(entry));
    if (!slot) {
        ++m_added;
        return;
    }
    slot->matched = 1;
    if (slot->state != stateOf(entry))
        ++m_changed;
}

qint64 EntryDiff::removed() const
{
    qint64 left = 0;
    for (const Slot& slot : m_slots)
        if (slot.place != 0 && !slot.matched)
            ++left;
    return left;
}

} // namespace platterly::cataloguing
