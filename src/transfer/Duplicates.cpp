#include "transfer/Duplicates.h"

#include "transfer/RecordBuilder.h"

#include <algorithm>
#include <string>

namespace transfer {
namespace {

constexpr std::string_view EntrySeparator = "; ";

// Two 64-bit hashes of the same bytes, fed one at a time.
class PairHash {
public:
    void Add(unsigned char byte)
    {
        first_ = (first_ ^ byte) * 0x100000001B3ULL; // FNV-1a
        second_ = (second_ + byte + 1) * 0x9E3779B97F4A7C15ULL;
        second_ ^= second_ >> 29;
    }
    void Add(std::string_view text)
    {
        for (const char c : text)
            Add(static_cast<unsigned char>(c));
    }
    // The pair as a key; never the key 0, which marks an empty slot.
    DuplicateIndex::Key Key() const { return {first_, second_ == 0 && first_ == 0 ? 1 : second_}; }

private:
    std::uint64_t first_ = 0xCBF29CE484222325ULL;
    std::uint64_t second_ = 0x2545F4914F6CDD1DULL;
};

template <class Each>
void ForEachEntry(std::string_view field, Each each)
{
    for (std::size_t start = 0; start <= field.size();) {
        const std::size_t end = field.find(EntrySeparator, start);
        each(Trimmed(field.substr(start, end == std::string_view::npos ? end : end - start)));
        if (end == std::string_view::npos)
            return;
        start = end + EntrySeparator.size();
    }
}

// The digits of a number as the index compares them: a mainland China code
// (86 or 0086) before eleven digits left out.
std::string_view WithoutCountryCode(std::string_view digits)
{
    if (digits.size() == 15 && digits.starts_with("0086"))
        return digits.substr(4);
    if (digits.size() == 13 && digits.starts_with("86"))
        return digits.substr(2);
    return digits;
}

// Calls each with the two hashes of every (name, number) and (name, address)
// pair of the record.
template <class Each>
void ForEachKey(const RecordView& record, Each each)
{
    const std::string_view name = Trimmed(record[col::Name]);
    if (name.empty())
        return;
    PairHash named;
    named.Add(name);
    named.Add(0x1F);
    std::string digits;
    for (const int column : {col::Mobile, col::Phone, col::Fax}) {
        ForEachEntry(record[column], [&](std::string_view number) {
            digits.clear();
            for (const char c : number)
                if (c >= '0' && c <= '9')
                    digits += c;
            if (digits.empty())
                return;
            PairHash hash = named;
            hash.Add('T');
            hash.Add(WithoutCountryCode(digits));
            each(hash);
        });
    }
    ForEachEntry(record[col::Email], [&](std::string_view address) {
        if (address.empty())
            return;
        PairHash hash = named;
        hash.Add('E');
        for (const char c : address)
            hash.Add(static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
        each(hash);
    });
}

} // namespace

bool DuplicateIndex::Matches(const RecordView& record) const
{
    bool found = false;
    ForEachKey(record, [&](const PairHash& hash) { found = found || Contains(hash.Key()); });
    return found;
}

void DuplicateIndex::Add(const RecordView& record)
{
    ForEachKey(record, [&](const PairHash& hash) { Insert(hash.Key()); });
}

// The record is looked up whole before any of it is added: one that names a
// number twice (as home and as mobile) is no duplicate of itself.
bool DuplicateIndex::AddAndTell(const RecordView& record)
{
    const bool known = Matches(record);
    Add(record);
    return known;
}

std::size_t DuplicateIndex::SlotOf(const Key& key) const
{
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = static_cast<std::size_t>(key.first ^ (key.first >> 32)) & mask;
    while (slots_[slot] != Key() && slots_[slot] != key)
        slot = (slot + 1) & mask;
    return slot;
}

bool DuplicateIndex::Contains(const Key& key) const { return !slots_.empty() && slots_[SlotOf(key)] == key; }

bool DuplicateIndex::Insert(const Key& key)
{
    if (2 * (size_ + 1) > slots_.size()) {
        std::vector<Key> old(std::max<std::size_t>(1024, 2 * slots_.size()));
        old.swap(slots_);
        for (const Key& kept : old)
            if (kept != Key())
                slots_[SlotOf(kept)] = kept;
    }
    Key& slot = slots_[SlotOf(key)];
    if (slot == key)
        return false;
    slot = key;
    ++size_;
    return true;
}

} // namespace transfer
