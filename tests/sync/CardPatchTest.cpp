// A card made on a phone, edited here in one field: only the properties
// behind that field change; every other line stays byte for byte, in order.
#include "sync/CardMap.h"
#include "sync/CardPatch.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace {

namespace col = transfer::col;
using transfer::Record;

std::string Fixture(const char* name)
{
    QFile file(QStringLiteral(QUILLORY_SOURCE_DIR "/tests/sync/fixtures/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll().toStdString();
}

// The card's physical lines, each with its line break.
std::vector<std::string> LinesOf(const std::string& card)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < card.size();) {
        std::size_t end = card.find('\n', start);
        end = end == std::string::npos ? card.size() : end + 1;
        lines.push_back(card.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string Without(std::string line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

TEST(CardPatchTest, OneFieldEditedChangesOnlyItsProperty)
{
    struct Row {
        const char* card;
        const char* what;
        std::function<void(Record&)> edit;
        std::vector<std::string> gone;  // lines of the card that go
        std::vector<std::string> added; // lines that come (without line breaks)
        bool readsAsEdited = true;      // else the card still reads as before
    };
    const Row rows[] = {
        {"iphone.vcf", "a mobile number corrected keeps its label and group",
         [](Record& r) { r[col::Mobile] = "+86 138 0013 9999"; },
         {"item1.TEL;type=pref:+86 138 0013 8000"}, {"item1.TEL;type=pref:+86 138 0013 9999"}},
        {"iphone.vcf", "a new name; N spelt the old one and follows",
         [](Record& r) { r[col::Name] = "王晓明"; }, {"N:王;小明;;;", "FN:王小明"}, {"N:王晓明;;;;", "FN:王晓明"}},
        {"iphone.vcf", "a note typed above the derived lines is the NOTE alone",
         [](Record& r) { r[col::Remarks] = "老同事\n" + r[col::Remarks]; }, {}, {"NOTE:老同事"}},
        {"iphone.vcf", "the company's line edited goes back to ORG, department kept",
         [](Record& r) { r[col::Remarks].replace(r[col::Remarks].find("星河科技"), 12, "星河智能"); },
         {"ORG:星河科技;研发部"}, {"ORG:星河智能;研发部"}},
        {"iphone.vcf", "a derived line deleted deletes nothing",
         [](Record& r) { r[col::Remarks].erase(r[col::Remarks].find("生日")); }, {}, {}, false},
        {"iphone.vcf", "a second telephone number is a line of its own",
         [](Record& r) { r[col::Phone] += "; 010-8888 0000"; }, {}, {"TEL;TYPE=WORK,VOICE:010-8888 0000"}},
        {"android.vcf", "a tel: address keeps its scheme and types",
         [](Record& r) { r[col::Mobile] = "+86-139-3333-4444"; },
         {"TEL;TYPE=cell;VALUE=uri:tel:+86-139-1111-2222"}, {"TEL;TYPE=cell;VALUE=uri:tel:+86-139-3333-4444"}},
        {"android.vcf", "the category is replaced where it stands, the system group kept",
         [](Record& r) { r[col::Category] = "同事"; }, {"CATEGORIES:myContacts,同学,羽毛球"}, {"CATEGORIES:myContacts,同事,羽毛球"}},
        {"android.vcf", "QQ from IMPP stays IMPP", [](Record& r) { r[col::QQ] = "20002"; },
         {"IMPP;X-SERVICE-TYPE=QQ:qq:10001"}, {"IMPP;X-SERVICE-TYPE=QQ:qq:20002"}},
        {"android.vcf", "the note edited, the nickname and address lines not sent as notes",
         [](Record& r) { r[col::Remarks].replace(0, r[col::Remarks].find('\n', 20), "周末打球"); },
         {"NOTE:周末一起打球\\n带两只拍子"}, {"NOTE:周末打球"}},
        {"android.vcf", "a fax number removed removes its line", [](Record& r) { r[col::Fax].clear(); },
         {"TEL;TYPE=fax:021-5555 0000"}, {}},
        {"android.vcf", "an e-mail address added", [](Record& r) { r[col::Email] += "; lei@home.example"; }, {},
         {"EMAIL:lei@home.example"}},
        {"android.vcf", "entries in another order are no change",
         [](Record& r) { r[col::Email] = "lilei@corp.example"; }, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.card) + ": " + row.what);
        const std::string card = Fixture(row.card);
        const Record base = booksync::RecordOfCard(card).value();
        Record local = base;
        row.edit(local);
        const std::string patched = booksync::PatchCard(card, base, local);

        std::vector<std::string> before;
        for (const std::string& line : LinesOf(card))
            if (std::find(row.gone.begin(), row.gone.end(), Without(line)) == row.gone.end())
                before.push_back(line);
        std::vector<std::string> kept;
        std::vector<std::string> added;
        std::size_t next = 0;
        for (const std::string& line : LinesOf(patched)) {
            if (next < before.size() && line == before[next]) {
                kept.push_back(line);
                ++next;
            } else {
                added.push_back(Without(line));
            }
        }
        EXPECT_EQ(kept, before) << patched;
        EXPECT_EQ(added, row.added) << patched;
        const Record reread = booksync::RecordOfCard(patched).value();
        EXPECT_TRUE(booksync::SameRecord(reread, row.readsAsEdited ? local : base)) << reread[col::Remarks];
    }
}

} // namespace
