#pragma once

#include <QString>
#include <QUrl>

namespace platform {

// The address the desktop's opener gets for a text handed to the shell. The
// desktop takes a text without a scheme for a file name, where the shell the
// program was made for opens a name like "www.example.com" as a web page; so:
// - blanks around the text are dropped (with them no address is valid);
// - a text with a scheme ("http://...", "mailto:...") is used as it is;
// - a host name, with or without a port, path, query or fragment
//   ("www.example.com", "例子.中国/路径", "localhost:8080"), becomes an
//   http address;
// - an absolute path ("/tmp/file") becomes a file address;
// - anything else ("user@host", "C:\x", "notes") is used as it is, and the
//   desktop opens nothing for it.
QUrl DesktopUrl(const QString& address);

} // namespace platform
