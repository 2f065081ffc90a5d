// What servers answer, as the reader takes it: the shapes two real servers
// write, hrefs in every spelling seen, a cut-short report, and answers that
// are no multistatus at all.
#include "sync/DavXml.h"

#include <gtest/gtest.h>

namespace {

const QUrl Book(QStringLiteral("http://127.0.0.1:5232/alice/book/"));

TEST(DavXmlTest, ReadsWhatServersWrite)
{
    struct Row {
        const char* what;
        const char* body;
        bool valid;
        QStringList hrefs;   // "path status etag"
        QString token;
        bool truncated;
    };
    const Row rows[] = {
        {"a sync report with a change and a deletion",
         R"(<?xml version="1.0"?><multistatus xmlns="DAV:"><response><href>/alice/book/a.vcf</href><propstat><prop><getetag>"e1"</getetag></prop><status>HTTP/1.1 200 OK</status></propstat></response>)"
         R"(<response><href>/alice/book/b.vcf</href><status>HTTP/1.1 404 Not Found</status></response><sync-token>http://x/sync/2</sync-token></multistatus>)",
         true, {"/alice/book/a.vcf 200 \"e1\"", "/alice/book/b.vcf 404 "}, "http://x/sync/2", false},
        {"another prefix, the status before the properties",
         R"(<ns0:multistatus xmlns:ns0="DAV:"><ns0:response><ns0:href>/alice/book/%E5%BC%A0.vcf</ns0:href><ns0:propstat><ns0:status>HTTP/1.1 200 OK</ns0:status><ns0:prop><ns0:getetag>"e2"</ns0:getetag></ns0:prop></ns0:propstat></ns0:response></ns0:multistatus>)",
         true, {"/alice/book/张.vcf 200 \"e2\""}, "", false},
        {"an href with its scheme and host, percent-encoded whole",
         R"(<multistatus xmlns="DAV:"><response><href>http%3A//127.0.0.1%3A5232/alice/book/c.vcf</href><propstat><prop><getetag>e3</getetag></prop><status>HTTP/1.1 200 OK</status></propstat></response></multistatus>)",
         true, {"/alice/book/c.vcf 200 e3"}, "", false},
        {"a relative href",
         R"(<multistatus xmlns="DAV:"><response><href>d.vcf</href><propstat><prop><getetag>e4</getetag></prop><status>HTTP/1.1 200 OK</status></propstat></response></multistatus>)",
         true, {"/alice/book/d.vcf 200 e4"}, "", false},
        {"an href on another server names nothing here",
         R"(<multistatus xmlns="DAV:"><response><href>https://elsewhere.example/alice/book/x.vcf</href><propstat><prop><getetag>x</getetag></prop><status>HTTP/1.1 200 OK</status></propstat></response></multistatus>)",
         true, {}, "", false},
        {"properties of a failed propstat are not found",
         R"(<multistatus xmlns="DAV:"><response><href>/alice/book/e.vcf</href><propstat><prop><getetag>no</getetag></prop><status>HTTP/1.1 404 Not Found</status></propstat></response></multistatus>)",
         true, {"/alice/book/e.vcf 200 "}, "", false},
        {"a 507 on the collection: more to come",
         R"(<multistatus xmlns="DAV:"><response><href>/alice/book/</href><status>HTTP/1.1 507 Insufficient Storage</status></response><sync-token>t3</sync-token></multistatus>)",
         true, {}, "t3", true},
        {"an error body", R"(<error xmlns="DAV:"><valid-sync-token/></error>)", false, {}, "", false},
        {"not XML", "Internal Server Error", false, {}, "", false},
        {"cut off in the middle", R"(<multistatus xmlns="DAV:"><response><href>/a</href>)", false, {}, "", false},
        {"an entity that would grow without bound",
         R"(<!DOCTYPE m [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;"><!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;"><!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;"><!ENTITY f "&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;">]>)"
         R"(<multistatus xmlns="DAV:"><response><href>&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;</href></response></multistatus>)",
         false, {}, "", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const booksync::Multistatus answer = booksync::ParseMultistatus(QByteArray(row.body), Book);
        EXPECT_EQ(answer.valid, row.valid);
        QStringList hrefs;
        for (const booksync::DavEntry& entry : answer.entries)
            hrefs << QStringLiteral("%1 %2 %3").arg(entry.href).arg(entry.status).arg(entry.etag);
        if (row.valid) {
            EXPECT_EQ(hrefs, row.hrefs);
            EXPECT_EQ(answer.syncToken, row.token);
            EXPECT_EQ(answer.truncated, row.truncated);
        }
    }
}

TEST(DavXmlTest, DiscoveryPropertiesAndCardsComeWhole)
{
    const QByteArray body = R"(<D:multistatus xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav"><D:response><D:href>/alice/</D:href><D:propstat><D:prop>)"
                            R"(<D:current-user-principal><D:href>/alice/</D:href></D:current-user-principal><C:addressbook-home-set><D:href>/alice/</D:href></C:addressbook-home-set>)"
                            R"(<D:resourcetype><D:collection/></D:resourcetype></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>)"
                            R"(<D:response><D:href>/alice/book/a.vcf</D:href><D:propstat><D:prop><D:getetag>"e"</D:getetag><C:address-data>BEGIN:VCARD&#13;
VERSION:3.0
FN:张三
END:VCARD
</C:address-data></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response></D:multistatus>)";
    const booksync::Multistatus answer = booksync::ParseMultistatus(body, Book);
    ASSERT_TRUE(answer.valid);
    ASSERT_EQ(answer.entries.size(), 2u);
    EXPECT_EQ(answer.entries[0].principal, "/alice/");
    EXPECT_EQ(answer.entries[0].homeSet, QStringList{"/alice/"});
    EXPECT_TRUE(answer.entries[0].isCollection);
    EXPECT_FALSE(answer.entries[0].isAddressBook);
    // XML leaves a card's lines ending in LF: they end in CR LF again, a CR sent as &#13; kept once.
    EXPECT_EQ(answer.entries[1].addressData, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三\r\nEND:VCARD\r\n");
    EXPECT_EQ(booksync::DavPrecondition(R"(<D:error xmlns:D="DAV:"><D:valid-sync-token/></D:error>)"), "valid-sync-token");
}

} // namespace
