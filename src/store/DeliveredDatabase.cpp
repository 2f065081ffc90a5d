#include "store/DeliveredDatabase.h"

#include "platform/system/CodePage.h"
#include "security/Unit_DESCrypt.h"
#include "store/DatabaseSchema.h"
#include "store/engine/DatabaseError.h"

#include <QDir>

#include <algorithm>

namespace store {

bool IsTypeablePassword(const QString& password)
{
    return !password.isEmpty() && std::all_of(password.begin(), password.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    });
}

QString CreateDeliveredDatabase(const QString& folder, const QString& initialPassword)
{
    if (!IsTypeablePassword(initialPassword))
        throw EDatabaseError("The password must be one or more digits or ASCII letters, the only characters "
                             "the login accepts.");
    const QString path = QDir(folder).filePath(DatabaseFileName);
    const std::string cipher = DesEncryptToHex(platform::ToAnsi(initialPassword), PassCipherKey);
    WriteNewDatabase(path, DatabasePassword, QString::fromLatin1(cipher.data(), static_cast<qsizetype>(cipher.size())));
    return path;
}

} // namespace store
