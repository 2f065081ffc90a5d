#pragma once

#include <QString>

// The addresses the program hands to the desktop: a record's home page, mail
// and web chat, and the maker's pages with the project word and version.
namespace links {

inline const QString kVersionText = QStringLiteral("1.0.2010.0425");
inline const QString kProjectWord = QStringLiteral("Kestrelle");

inline const QString kHomeEndpoint = QStringLiteral("http://www.brightmoor.example");
inline const QString kForumEndpoint = QStringLiteral("http://bbs.brightmoor.example");
inline const QString kSoftwareEndpoint = QStringLiteral("http://soft.brightmoor.example");
inline const QString kDownloadEndpoint = QStringLiteral("http://down.brightmoor.example");
inline const QString kBlogEndpoint = QStringLiteral("http://blog.brightmoor.example");
inline const QString kHelpEndpoint = QStringLiteral("http://help.brightmoor.example");
inline const QString kChatEndpoint = QStringLiteral("http://wpa.qq.com");
inline const QString kChatSite = QStringLiteral("www.brightmoor.example");

inline const QString kGroupNumber = QStringLiteral("20100425");
inline const QString kSupportNumber = QStringLiteral("800020100");
inline const QString kSupportMail = QStringLiteral("support@brightmoor.example");

// A page of the maker's: endpoint + "/?qq=" + project word + version.
QString MakerPage(const QString& endpoint, const QString& version);
// The web chat with a QQ number, taken as typed.
QString ChatAddress(const QString& qq);
// "mailto:" + the e-mail box's text, taken as typed.
QString MailAddress(const QString& email);

} // namespace links
