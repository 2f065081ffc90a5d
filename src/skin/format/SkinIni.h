#pragma once

#include <QIODevice>

#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A programming error caught by a run-time check (a required argument not given).
class EAssertionFailed : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// Reads an ini-style skin description once and answers lookups by section and
// key. Texts are byte strings in the program's code page. The text is cut into
// lines once; sections are found through an index, so a lookup walks only the
// lines of its own section.
class TFastIni {
public:
    // Reads the stream from its current position to its end and replaces what
    // was loaded before. A null stream changes nothing.
    void LoadFromStream(QIODevice* stream);
    void LoadFromBytes(std::string_view text);

    // The value of the first line of the section whose key matches (letter case
    // ignored on section and key), trimmed; the default when the section or key
    // is absent or the first matching line has an empty value.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // The value as a signed 32-bit integer, decimal or "0x" hexadecimal; the
    // default for anything else.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;

    // Fills Strings with every section name (brackets removed, trimmed) in text order.
    void ReadSections(std::vector<std::string>* Strings) const;

private:
    struct Line {
        std::string key;    // lowercased; empty for a line without "="
        std::string value;  // trimmed
        bool isSection = false;
    };
    struct Section {
        std::string header;  // trimmed, brackets included, as written
        std::size_t line = 0;
    };

    std::vector<Line> lines_;
    std::vector<Section> sections_;                             // in text order
    std::unordered_map<std::string, std::size_t> sectionIndex_; // lowercased header -> first line
};

// Ini text helpers shared by the skin readers.
namespace skintext {
// Drops leading and trailing blanks and control characters (bytes up to 0x20).
std::string_view Trim(std::string_view text);
// Lowercases ASCII letters only; other bytes (code-page characters) pass unchanged.
std::string Lower(std::string_view text);
// A signed 32-bit integer written in decimal or with a "0x" prefix in hexadecimal.
bool ParseInteger(std::string_view text, int& value);
} // namespace skintext
