#include "store/engine/FileFormat.h"

#include "store/engine/DatabaseError.h"
#include "store/engine/EngineSetup.h"

#include <QString>

#include <sqlite3.h>

#include <span>
#include <string>

namespace store {
namespace {

// One setting: the pragma that states it, the value stated (null where the
// engine knows no other) and the value it reads back.
struct Setting {
    const char* pragma;
    const char* value;
    const char* readsBack; // compared without regard to case
};

// Versions 3.x sign with HMAC-SHA1 and derive with PBKDF2-HMAC-SHA1 only.
constexpr Setting Version3[] = {
    {"cipher", "'aes-256-cbc'", "aes-256-cbc"},
    {"cipher_page_size", "1024", "1024"},
    {"kdf_iter", "64000", "64000"},
    {"cipher_use_hmac", "ON", "1"},
};

// Versions 4 and later know AES-256-CBC only, and choose the rest.
constexpr Setting Version4[] = {
    {"cipher", nullptr, "aes-256-cbc"},
    {"cipher_page_size", "1024", "1024"},
    {"kdf_iter", "64000", "64000"},
    {"cipher_use_hmac", "ON", "1"},
    {"cipher_hmac_algorithm", "HMAC_SHA1", "HMAC_SHA1"},
    {"cipher_kdf_algorithm", "PBKDF2_HMAC_SHA1", "PBKDF2_HMAC_SHA1"},
    {"cipher_plaintext_header_size", "0", "0"},
};

std::string Pragma(const char* schema, const Setting& setting)
{
    std::string statement = std::string("PRAGMA \"") + schema + "\"." + setting.pragma;
    return setting.value ? statement + " = " + setting.value : statement;
}

// The first column of the statement's first row; empty without a row.
std::string ReadBack(sqlite3* db, const std::string& statement)
{
    std::string value;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, statement.c_str(), -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW) {
        if (const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)))
            value = text;
    }
    sqlite3_finalize(stmt);
    return value;
}

[[noreturn]] void Refuse(const Setting& setting, const std::string& found)
{
    throw EDatabaseError(QStringLiteral("The database engine (SQLCipher %1) does not keep the file format: "
                                        "%2 reads \"%3\" instead of \"%4\".")
                             .arg(QString::fromStdString(CipherVersion()), QString::fromUtf8(setting.pragma),
                                  QString::fromStdString(found), QString::fromUtf8(setting.readsBack)));
}

} // namespace

void StateFileFormat(sqlite3* db, const char* schema)
{
    const int major = CipherMajorVersion();
    const std::span<const Setting> settings = major == 3 ? std::span<const Setting>(Version3)
                                                         : std::span<const Setting>(Version4);
    for (const Setting& setting : settings) {
        if (setting.value && sqlite3_exec(db, Pragma(schema, setting).c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            throw EDatabaseError(std::string(sqlite3_errmsg(db)));
    }
    for (const Setting& setting : settings) {
        const std::string found = ReadBack(db, Pragma(schema, {setting.pragma, nullptr, nullptr}));
        if (QString::fromStdString(found).compare(QLatin1String(setting.readsBack), Qt::CaseInsensitive) != 0)
            Refuse(setting, found);
    }
}

} // namespace store
