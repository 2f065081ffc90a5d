// One card's text as one record, for whoever holds cards one at a time (a
// contact server): a sound card gives the record a file of it alone imports as.
#include "support/TemporaryBook.h"

#include "transfer/CardMapping.h"

#include <gtest/gtest.h>

namespace {

struct OneCard {
    const char* what;
    const char* text;
    transfer::Record record;
    std::vector<std::string> notKept;
    std::vector<int> repairLines;
};

const OneCard kCards[] = {
    {"a server's card with a photo", "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:42\r\nFN:张三\r\nTEL;TYPE=CELL:138\r\n"
                                     "PHOTO;ENCODING=b;TYPE=JPEG:AAAA\r\nEND:VCARD\r\n",
     MakeRecord({"", "张三", "", "138"}), {"照片"}, {}},
    {"a damaged card: a stray byte, no END", "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:李\xFF四\r\n",
     MakeRecord({"", "李\xEF\xBF\xBD四"}), {}, {1, 3}},
    {"no card at all", "FN:王五\r\n", MakeRecord({}), {}, {1}},
};

} // namespace

TEST(CardMappingTest, OneCardsTextIsOneRecordWithWhatItDidNotKeep)
{
    TemporaryBook book;
    for (const OneCard& card : kCards) {
        SCOPED_TRACE(card.what);
        const transfer::MappedCard mapped = transfer::MapCard(card.text);
        EXPECT_EQ(mapped.record, card.record);
        EXPECT_EQ(mapped.notKept, card.notKept);
        std::vector<int> lines;
        for (const transfer::Repair& repair : mapped.repairs.Entries())
            lines.push_back(repair.line);
        EXPECT_EQ(lines, card.repairLines);
        if (!lines.empty())
            continue;
        book.Clear();
        book.Import(transfer::Format::VCard, card.text);
        EXPECT_EQ(book.BookWithoutNumbers(), std::vector<transfer::Record>{card.record}) << "as a file imports it";
    }
}
