#include "transfer/ValueShapes.h"

#include "transfer/Ascii.h"
#include "transfer/HeaderRecognition.h"

#include <algorithm>
#include <set>

namespace transfer {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsEmail(std::string_view text)
{
    const std::size_t at = text.find('@');
    if (at == 0 || at == std::string_view::npos || text.find('@', at + 1) != std::string_view::npos ||
        text.find_first_of(" \t") != std::string_view::npos)
        return false;
    const std::size_t dot = text.find('.', at + 2);
    return dot != std::string_view::npos && dot + 1 < text.size();
}

// 1985-03-02, 2024-1-5: a date, whose digits and dashes are no telephone number.
bool IsDate(std::string_view text)
{
    const auto digits = [](std::string_view part, std::size_t least, std::size_t most) {
        return part.size() >= least && part.size() <= most && std::all_of(part.begin(), part.end(), IsDigit);
    };
    const std::size_t first = text.find('-');
    const std::size_t second = first == std::string_view::npos ? first : text.find('-', first + 1);
    return second != std::string_view::npos && digits(text.substr(0, first), 4, 4) &&
           digits(text.substr(first + 1, second - first - 1), 1, 2) && digits(text.substr(second + 1), 1, 2);
}

ValueShape ShapeOfNumber(std::string_view text)
{
    if (IsDate(text))
        return ValueShape::Text;
    std::string digits;
    for (const char c : text) {
        if (IsDigit(c))
            digits += c;
        else if (c != ' ' && c != '-' && c != '(' && c != ')' && c != '+')
            return ValueShape::Text;
    }
    if (digits.empty())
        return ValueShape::Text;
    const bool plain = digits.size() == text.size();
    // A number written with its country code is a mobile only with China's (+1 425 555 0100 is not).
    const bool abroad = text.starts_with('+') && !digits.starts_with("86");
    const std::string_view national =
        digits.size() == 13 && digits.starts_with("86") ? std::string_view(digits).substr(2) : std::string_view(digits);
    if (!abroad && national.size() == 11 && national[0] == '1')
        return ValueShape::Mobile;
    if (plain && digits.size() <= 4)
        return ValueShape::Count;
    if (plain && digits.size() <= 10 && digits[0] != '0')
        return ValueShape::QQ;
    return digits.size() >= 7 ? ValueShape::Phone : ValueShape::Text;
}

bool IsDataShape(ValueShape shape)
{
    return shape != ValueShape::Empty && shape != ValueShape::Count && shape != ValueShape::Text;
}

ColumnRole FieldRole(int field)
{
    ColumnRole role;
    role.target = Target::Field;
    role.field = field;
    return role;
}

} // namespace

ValueShape ShapeOf(std::string_view value)
{
    const std::string_view text = Trimmed(value);
    if (text.empty())
        return ValueShape::Empty;
    if (IsEmail(text))
        return ValueShape::Email;
    for (const std::string_view scheme : {"http://", "https://", "www."})
        if (ascii::StartsWithIgnoringCase(text, scheme) && text.size() > scheme.size())
            return ValueShape::Web;
    return ShapeOfNumber(text);
}

bool IsHeaderless(const std::vector<std::string>& firstRow)
{
    if (std::none_of(firstRow.begin(), firstRow.end(), [](const std::string& v) { return IsDataShape(ShapeOf(v)); }))
        return false;
    const RecognisedHeader asHeader = RecogniseHeader(firstRow);
    return std::none_of(asHeader.roles.begin(), asHeader.roles.end(), Imports);
}

RecognisedHeader RecogniseValues(const std::vector<std::vector<std::string>>& rows, std::size_t columns)
{
    RecognisedHeader header;
    header.kind = "无表头的表格";
    bool named = false;
    for (std::size_t column = 0; column < columns; ++column) {
        std::set<ValueShape> shapes;
        for (const std::vector<std::string>& row : rows)
            if (column < row.size())
                shapes.insert(ShapeOf(row[column]));
        shapes.erase(ValueShape::Empty);
        const auto only = [&](ValueShape shape) { return shapes.size() == 1 && *shapes.begin() == shape; };
        const bool numbers = !shapes.empty() && std::all_of(shapes.begin(), shapes.end(), [](ValueShape s) {
            return s == ValueShape::Mobile || s == ValueShape::Phone || s == ValueShape::QQ;
        });
        if (only(ValueShape::Email))
            header.roles.push_back(FieldRole(col::Email));
        else if (only(ValueShape::Web))
            header.roles.push_back(FieldRole(col::HomePage));
        else if (only(ValueShape::Mobile))
            header.roles.push_back(FieldRole(col::Mobile));
        else if (only(ValueShape::QQ))
            header.roles.push_back(FieldRole(col::QQ));
        else if (numbers)
            header.roles.push_back(FieldRole(col::Phone));
        else if (only(ValueShape::Count))
            header.roles.emplace_back(); // 不导入
        else if (!shapes.empty() && !named) {
            header.roles.push_back(FieldRole(col::Name));
            named = true;
        } else
            header.roles.push_back(FieldRole(col::Remarks));
    }
    return header;
}

} // namespace transfer
