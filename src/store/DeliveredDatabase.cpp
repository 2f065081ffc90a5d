#include "store/DeliveredDatabase.h"

#include "platform/CodePage.h"
#include "security/Unit_DESCrypt.h"
#include "store/DatabaseSchema.h"

#include <QDir>

namespace store {

QString CreateDeliveredDatabase(const QString& folder, const QString& initialPassword)
{
    const QString path = QDir(folder).filePath(DatabaseFileName);
    const std::string cipher = DesEncryptToHex(platform::ToAnsi(initialPassword), PassCipherKey);
    WriteNewDatabase(path, DatabasePassword, QString::fromLatin1(cipher.data(), static_cast<qsizetype>(cipher.size())));
    return path;
}

} // namespace store
