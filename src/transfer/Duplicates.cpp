#include "transfer/Duplicates.h"

#include "transfer/RecordBuilder.h"

namespace transfer {
namespace {

constexpr std::string_view EntrySeparator = "; ";

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

} // namespace

std::string NumberKey(std::string_view number)
{
    std::string digits;
    for (const char c : number)
        if (c >= '0' && c <= '9')
            digits += c;
    if (digits.size() == 15 && digits.starts_with("0086"))
        digits.erase(0, 4);
    else if (digits.size() == 13 && digits.starts_with("86"))
        digits.erase(0, 2);
    return digits;
}

std::vector<std::string> DuplicateIndex::Keys(const RecordView& record)
{
    std::vector<std::string> keys;
    const std::string_view name = Trimmed(record[col::Name]);
    if (name.empty())
        return keys;
    const std::string prefix = std::string(name) + '\x1F';
    for (const int column : {col::Mobile, col::Phone, col::Fax}) {
        ForEachEntry(record[column], [&](std::string_view number) {
            const std::string digits = NumberKey(number);
            if (!digits.empty())
                keys.push_back(prefix + 'T' + digits);
        });
    }
    ForEachEntry(record[col::Email], [&](std::string_view address) {
        if (address.empty())
            return;
        std::string key = prefix + 'E';
        for (const char c : address)
            key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        keys.push_back(std::move(key));
    });
    return keys;
}

bool DuplicateIndex::Matches(const RecordView& record) const
{
    for (const std::string& key : Keys(record))
        if (keys_.count(key))
            return true;
    return false;
}

void DuplicateIndex::Add(const RecordView& record) { AddAndTell(record); }

bool DuplicateIndex::AddAndTell(const RecordView& record)
{
    bool known = false;
    for (std::string& key : Keys(record))
        known = !keys_.insert(std::move(key)).second || known;
    return known;
}

} // namespace transfer
