#include "sync/CardPatch.h"

#include "sync/CardMap.h"
#include "transfer/FileFormatError.h"
#include "transfer/RecordBuilder.h"
#include "transfer/Encodings.h"
#include "transfer/RepairLog.h"
#include "transfer/TextConverter.h"
#include "transfer/Utf8.h"
#include "transfer/VCardLexer.h"
#include "transfer/VCardWriter.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace booksync {
namespace {

namespace col = transfer::col;
using transfer::ContentLine;
using transfer::Record;

constexpr std::string_view Bom = "\xEF\xBB\xBF";

// Cuts text at every separator outside double quotes (parameters) or, with
// escapes, at every separator no backslash escapes (values).
std::vector<std::string> Split(std::string_view text, char separator, bool quotes)
{
    std::vector<std::string> pieces;
    std::string piece;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!quotes && c == '\\' && i + 1 < text.size()) {
            piece += c;
            piece += text[++i];
            continue;
        }
        if (quotes && c == '"')
            quoted = !quoted;
        if (c == separator && !quoted) {
            pieces.push_back(std::move(piece));
            piece.clear();
        } else {
            piece += c;
        }
    }
    pieces.push_back(std::move(piece));
    return pieces;
}

std::string Join(const std::vector<std::string>& pieces, std::string_view separator)
{
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        joined.append(i ? separator : "").append(pieces[i]);
    return joined;
}

std::string Escape(std::string_view text)
{
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == ',' || c == ';')
            escaped += '\\';
        if (c == '\n')
            escaped += "\\n";
        else if (c != '\r')
            escaped += c;
    }
    return escaped;
}

std::string Unescape(std::string_view text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            plain += next == 'n' || next == 'N' ? '\n' : next;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

// Folded lines joined again: a line break followed by a blank goes with the
// blank; any other line break (the property's last, blank lines) goes alone.
std::string Unfolded(std::string_view raw)
{
    std::string text;
    for (std::size_t i = 0; i < raw.size();) {
        const char c = raw[i];
        if (c != '\r' && c != '\n') {
            text += c;
            ++i;
            continue;
        }
        const std::size_t eol = c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n' ? 2 : 1;
        const bool continued = i + eol < raw.size() && (raw[i + eol] == ' ' || raw[i + eol] == '\t');
        i += eol + (continued ? 1 : 0);
    }
    return text;
}

// "NAME;PARAM:value" as head and value, at the first colon outside quotes.
std::pair<std::string, std::string> HeadAndValue(const std::string& logical)
{
    bool quoted = false;
    for (std::size_t i = 0; i < logical.size(); ++i) {
        if (logical[i] == '"')
            quoted = !quoted;
        else if (logical[i] == ':' && !quoted)
            return {logical.substr(0, i), logical.substr(i + 1)};
    }
    return {logical, {}};
}

bool IsEncodingParameter(std::string_view piece)
{
    std::string upper(piece);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    return upper.starts_with("ENCODING=") || upper.starts_with("CHARSET=") || upper.starts_with("X-LINEBREAK=")
        || upper == "QUOTED-PRINTABLE" || upper == "BASE64" || upper == "8BIT" || upper == "7BIT";
}

struct Unit {
    std::string raw; // the property's bytes as in the card, its line break(s) included
    ContentLine line;
    bool removed = false;
    bool changed = false;
};

// A line the export writes, for a record holding only some fields.
struct Exported {
    std::string head;
    std::string value;
};

std::vector<std::pair<std::string, Exported>> ExportedLines(const Record& record)
{
    std::string card;
    transfer::VCardRecordSink().Append(card, transfer::ViewOf(record));
    std::vector<std::pair<std::string, Exported>> lines;
    transfer::VCardLexer lexer(card);
    ContentLine property;
    transfer::RepairLog repairs;
    std::size_t previous = 0;
    while (lexer.Next(property, repairs)) {
        auto [head, value] = HeadAndValue(Unfolded(std::string_view(card).substr(previous, lexer.Position() - previous)));
        previous = lexer.Position();
        lines.push_back({property.name, {std::move(head), std::move(value)}});
    }
    return lines;
}

// The export's lines of one property name for a record with one field set.
std::vector<Exported> ExportedFor(int column, std::string_view value, std::string_view name)
{
    Record record;
    record[column] = value;
    std::vector<Exported> found;
    for (auto& [property, line] : ExportedLines(record))
        if (property == name)
            found.push_back(std::move(line));
    return found;
}

// The property the export writes for an entry of a list field.
std::string_view PropertyOf(int column)
{
    switch (column) {
    case col::QQ: return "X-QQ";
    case col::Email: return "EMAIL";
    case col::HomePage: return "URL";
    default: return "TEL";
    }
}

class CardEditor {
public:
    explicit CardEditor(std::string_view card)
    {
        if (card.starts_with(Bom)) {
            bom_ = Bom;
            card.remove_prefix(Bom.size());
        }
        const std::size_t lf = card.find('\n');
        eol_ = lf != std::string_view::npos && lf > 0 && card[lf - 1] == '\r' ? "\r\n" : lf != std::string_view::npos ? "\n" : "\r\n";
        transfer::VCardLexer lexer(card);
        std::size_t previous = 0;
        Unit unit;
        transfer::RepairLog repairs;
        while (lexer.Next(unit.line, repairs)) {
            unit.raw = card.substr(previous, lexer.Position() - previous);
            previous = lexer.Position();
            if (unit.line.name == "VERSION")
                version_ = transfer::Trimmed(unit.line.value);
            units_.push_back(std::move(unit));
            unit = Unit();
        }
        if (!units_.empty())
            units_.back().raw += card.substr(previous);
        end_ = units_.size();
        for (std::size_t i = 0; i < units_.size(); ++i)
            if (units_[i].line.name == "END")
                end_ = i;
        if (version_.empty())
            version_ = "3.0";
    }

    std::size_t Size() const { return units_.size(); }
    const ContentLine& Line(std::size_t i) const { return units_[i].line; }
    bool Removed(std::size_t i) const { return units_[i].removed; }

    // What the import makes of the property alone (with the labels of its group).
    const Record& FieldsOf(std::size_t i)
    {
        auto cached = fields_.find(i);
        if (cached != fields_.end())
            return cached->second;
        std::string card = "BEGIN:VCARD" + eol_ + "VERSION:" + version_ + eol_;
        const ContentLine& line = units_[i].line;
        if (!line.group.empty())
            for (const Unit& other : units_)
                if (other.line.group == line.group && other.line.name == "X-ABLABEL")
                    card += WithEol(other.raw);
        card += WithEol(units_[i].raw) + "END:VCARD" + eol_;
        return fields_[i] = RecordOfCard(card).value_or(Record());
    }

    // The logical value as it stands in the card (escapes kept).
    std::string RawValue(std::size_t i) const { return HeadAndValue(Unfolded(units_[i].raw)).second; }

    // Writes a new value (already escaped) behind the property's own head,
    // which loses only the parameters of an encoding the value no longer has.
    void Replace(std::size_t i, std::string_view value, std::string_view extraParameters = {})
    {
        Unit& unit = units_[i];
        const std::string head = HeadAndValue(Unfolded(unit.raw)).first;
        std::vector<std::string> pieces = Split(head, ';', true);
        std::string kept = pieces.front();
        for (std::size_t p = 1; p < pieces.size(); ++p)
            if (!IsEncodingParameter(pieces[p]))
                kept.append(";").append(pieces[p]);
        unit.raw = Folded(kept + std::string(extraParameters) + ":" + std::string(value));
        unit.changed = true;
        fields_.erase(i);
    }

    void Remove(std::size_t i) { units_[i].removed = true; }

    // A new property before END:VCARD.
    void Add(const Exported& line) { added_.push_back(Folded(line.head + ":" + line.value)); }

    // The card without the properties of one name (for the derived lines).
    std::string Without(std::string_view name) const
    {
        std::string card(bom_);
        for (const Unit& unit : units_)
            if (!unit.removed && unit.line.name != name)
                card += unit.raw;
        return card;
    }

    std::string Text() const
    {
        std::string card(bom_);
        for (std::size_t i = 0; i < units_.size(); ++i) {
            if (i == end_)
                for (const std::string& line : added_)
                    card += line;
            if (!units_[i].removed)
                card += units_[i].raw;
        }
        return card;
    }

private:
    std::string WithEol(const std::string& raw) const
    {
        return raw.ends_with('\n') || raw.ends_with('\r') ? raw : raw + eol_;
    }

    std::string Folded(const std::string& line) const
    {
        std::string folded;
        transfer::AppendFoldedLine(folded, line);
        if (eol_ == "\n") {
            std::string plain;
            for (const char c : folded)
                if (c != '\r')
                    plain += c;
            return plain;
        }
        return folded;
    }

    std::string bom_;
    std::string eol_;
    std::string version_;
    std::vector<Unit> units_;
    std::size_t end_ = 0;
    std::vector<std::string> added_;
    std::map<std::size_t, Record> fields_;
};

// The extra parameters of an exported head after its name and types (X-LINEBREAK).
std::string ExtraParameters(const std::string& head)
{
    std::string extra;
    const std::vector<std::string> pieces = Split(head, ';', true);
    for (std::size_t p = 1; p < pieces.size(); ++p)
        if (pieces[p].starts_with("X-LINEBREAK="))
            extra.append(";").append(pieces[p]);
    return extra;
}

void PatchName(CardEditor& card, const Record& base, const Record& local)
{
    const std::vector<std::pair<std::string, Exported>> lines = [&] {
        Record record;
        record[col::Name] = local[col::Name];
        return ExportedLines(record);
    }();
    auto exported = [&](std::string_view name) {
        for (const auto& [property, line] : lines)
            if (property == name)
                return line;
        return Exported();
    };
    bool hasName = false;
    for (std::size_t i = 0; i < card.Size(); ++i) {
        const std::string& name = card.Line(i).name;
        if (name == "FN" && !hasName) {
            const Exported fn = exported("FN");
            card.Replace(i, fn.value, ExtraParameters(fn.head));
            hasName = true;
        } else if (name == "N" && card.FieldsOf(i)[col::Name] == base[col::Name]) {
            // N spelt the old name: it follows the new one as the export writes N.
            card.Replace(i, exported("N").value);
        }
    }
    if (!hasName)
        card.Add(exported("FN"));
}

void PatchCategory(CardEditor& card, const Record& base, const Record& local)
{
    const std::string newValue = Escape(local[col::Category]);
    for (std::size_t i = 0; i < card.Size(); ++i) {
        if (card.Line(i).name != "CATEGORIES" || card.Removed(i))
            continue;
        std::vector<std::string> pieces = Split(card.RawValue(i), ',', false);
        for (std::size_t p = 0; p < pieces.size(); ++p) {
            if (transfer::Trimmed(Unescape(pieces[p])) != transfer::Trimmed(base[col::Category]) || base[col::Category].empty())
                continue;
            if (local[col::Category].empty())
                pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(p));
            else
                pieces[p] = newValue;
            if (pieces.empty())
                card.Remove(i);
            else
                card.Replace(i, Join(pieces, ","));
            return;
        }
    }
    if (!local[col::Category].empty())
        card.Add({"CATEGORIES", newValue});
}

// Entries in a but not in b, each as often as a has it more.
std::vector<std::string> Minus(const std::vector<std::string_view>& a, std::vector<std::string_view> b)
{
    std::vector<std::string> rest;
    for (const std::string_view entry : a) {
        const auto found = std::find(b.begin(), b.end(), entry);
        if (found != b.end())
            b.erase(found);
        else
            rest.emplace_back(entry);
    }
    return rest;
}

void PatchList(CardEditor& card, int column, const Record& base, const Record& local)
{
    std::vector<std::string> removed = Minus(EntriesOf(base[column]), EntriesOf(local[column]));
    std::vector<std::string> added = Minus(EntriesOf(local[column]), EntriesOf(base[column]));
    for (const std::string& entry : removed) {
        std::optional<std::size_t> source;
        for (std::size_t i = 0; i < card.Size() && !source; ++i) {
            if (card.Removed(i))
                continue;
            const std::vector<std::string_view> entries = EntriesOf(card.FieldsOf(i)[column]);
            if (std::find(entries.begin(), entries.end(), entry) != entries.end())
                source = i;
        }
        if (!source)
            continue; // not to be found line by line: nothing to take away
        if (added.empty()) {
            card.Remove(*source);
            continue;
        }
        // A changed entry: the same line, its types and label kept, and any
        // prefix before the value ("tel:", "qq:") too.
        const std::string oldValue = card.RawValue(*source);
        const std::string escapedOld = Escape(entry);
        const std::size_t at = oldValue.rfind(escapedOld);
        const std::string prefix = at != std::string::npos && at + escapedOld.size() == oldValue.size() ? oldValue.substr(0, at) : "";
        const std::vector<Exported> line = ExportedFor(column, added.front(), PropertyOf(column));
        if (!line.empty())
            card.Replace(*source, prefix + line.front().value);
        added.erase(added.begin());
    }
    if (added.empty())
        return;
    for (const Exported& line : ExportedFor(column, Join(added, "; "), PropertyOf(column)))
        card.Add(line);
}

std::vector<std::string> Lines(std::string_view text)
{
    std::vector<std::string> lines;
    for (const std::string& line : Split(text, '\n', true))
        lines.push_back(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
    return lines;
}

// The remarks without the lines the import derived from other properties.
std::string NoteOf(std::string_view remarks, std::string_view derived)
{
    if (derived.empty())
        return std::string(remarks);
    if (remarks == derived)
        return {};
    if (remarks.size() > derived.size() && remarks.ends_with(derived) && remarks[remarks.size() - derived.size() - 1] == '\n')
        return std::string(remarks.substr(0, remarks.size() - derived.size() - 1));
    std::vector<std::string> lines = Lines(remarks);
    for (const std::string& line : Lines(derived)) {
        const auto found = std::find(lines.rbegin(), lines.rend(), line);
        if (found != lines.rend())
            lines.erase(std::next(found).base());
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return Join(lines, "\n");
}

// A "公司: …" or "职务: …" line the user changed: written back to its property.
void PatchLabelled(CardEditor& card, std::vector<std::string>& noteLines, const std::vector<std::string>& derived,
                   std::string_view label, std::string_view property, bool firstComponent)
{
    const std::string prefix = std::string(label) + ": ";
    const bool derivedHasIt = std::any_of(derived.begin(), derived.end(), [&](const std::string& l) { return l.starts_with(prefix); });
    if (!derivedHasIt)
        return;
    const auto edited = std::find_if(noteLines.begin(), noteLines.end(), [&](const std::string& l) { return l.starts_with(prefix); });
    if (edited == noteLines.end())
        return;
    const std::string text(transfer::Trimmed(std::string_view(*edited).substr(prefix.size())));
    for (std::size_t i = 0; i < card.Size(); ++i) {
        if (card.Line(i).name != property || card.Removed(i))
            continue;
        std::vector<std::string> pieces = firstComponent ? Split(card.RawValue(i), ';', false) : std::vector<std::string>{""};
        pieces.front() = Escape(text);
        card.Replace(i, Join(pieces, ";"));
        noteLines.erase(edited);
        return;
    }
}

void PatchRemarks(CardEditor& card, const Record& base, const Record& local)
{
    const std::string derived = RecordOfCard(card.Without("NOTE")).value_or(Record())[col::Remarks];
    const std::string oldNote = NoteOf(base[col::Remarks], derived);
    std::string note = NoteOf(local[col::Remarks], derived);
    std::vector<std::string> noteLines = Lines(note);
    const std::vector<std::string> derivedLines = Lines(derived);
    PatchLabelled(card, noteLines, derivedLines, "公司", "ORG", true);
    PatchLabelled(card, noteLines, derivedLines, "职务", "TITLE", false);
    note = Join(noteLines, "\n");
    if (note == oldNote)
        return;
    const std::vector<Exported> exported = ExportedFor(col::Remarks, note, "NOTE");
    bool written = false;
    for (std::size_t i = 0; i < card.Size(); ++i) {
        if (card.Line(i).name != "NOTE" || card.Removed(i))
            continue;
        if (written || exported.empty())
            card.Remove(i);
        else
            card.Replace(i, exported.front().value, ExtraParameters(exported.front().head));
        written = true;
    }
    if (!written && !exported.empty())
        card.Add(exported.front());
}

} // namespace

std::string PatchCard(std::string_view text, const Record& base, const Record& edited)
{
    if (!RecordOfCard(text))
        throw transfer::FileFormatError(0, "名片无法读取.");
    const Record local = WithValidText(edited);
    if (SameRecord(base, local) && base[col::Name] == local[col::Name] && base[col::Remarks] == local[col::Remarks])
        return std::string(text);
    // A card is UTF-8; one in the code page (as old phones wrote files) is
    // read as the import reads it, and written back whole in UTF-8, so that
    // its new lines and its old ones are in one encoding.
    std::string utf8;
    if (transfer::ValidUtf8Prefix(text) != text.size()) {
        std::size_t replaced = 0;
        utf8 = transfer::TextConverter(transfer::CodePageEncoding()).Convert(text, replaced);
        if (replaced != 0 || !RecordOfCard(utf8))
            throw transfer::FileFormatError(0, "名片的编码无法转换为UTF-8.");
        text = utf8;
    }
    CardEditor card(text);
    if (base[col::Name] != local[col::Name])
        PatchName(card, base, local);
    if (base[col::Category] != local[col::Category])
        PatchCategory(card, base, local);
    for (int column : {col::QQ, col::Mobile, col::Phone, col::Fax, col::Email, col::HomePage})
        if (!SameValue(column, base[column], local[column]))
            PatchList(card, column, base, local);
    if (base[col::Remarks] != local[col::Remarks])
        PatchRemarks(card, base, local);
    return card.Text();
}

} // namespace booksync
