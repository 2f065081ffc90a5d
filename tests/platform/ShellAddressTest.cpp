#include "platform/ShellAddress.h"

#include <gtest/gtest.h>

namespace {

TEST(ShellAddress, HostNamesOpenAsWebPagesAndEverythingElseAsTyped)
{
    struct Case {
        const char* typed;
        const char* opened;  // the address as the desktop's opener reads it
    };
    const Case cases[] = {
        {"www.example.com", "http://www.example.com"},
        {"example.com/path?q=1#top", "http://example.com/path?q=1#top"},
        {"  www.example.com ", "http://www.example.com"},
        {"www.example.com:8080/x", "http://www.example.com:8080/x"},
        {"localhost:8080", "http://localhost:8080"},
        {"192.168.1.1/admin", "http://192.168.1.1/admin"},
        {"[::1]:631", "http://[::1]:631"},
        {"例子.中国/路径", "http://例子.中国/路径"},
        {"WWW.Example.COM", "http://www.example.com"},
        // With a scheme: as typed, blanks around it aside.
        {"http://www.example.com/a b", "http://www.example.com/a b"},
        {" https://example.com ", "https://example.com"},
        {"mailto:a@b.example; c@d.example ", "mailto:a@b.example; c@d.example"},
        {"ftp://files.example", "ftp://files.example"},
        {"tel:10086", "tel:10086"},
        // A local path opens as a file.
        {"/tmp/file #1", "file:///tmp/file %231"},
        // No host: handed over as typed, and the desktop opens nothing.
        {"user@host.example", "user@host.example"},
        {"C:\\x", "c:%5Cx"},  // a one-letter scheme to the desktop
        {"notes", "notes"},
        {" spaced ", "spaced"},
        {"my site.example", "my site.example"},
        {"1.5", "1.5"},
        {"-bad-.example", "-bad-.example"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(platform::DesktopUrl(QString::fromUtf8(c.typed)).toString().toStdString(), c.opened);
    }
}

} // namespace
