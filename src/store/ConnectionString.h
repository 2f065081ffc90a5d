#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <utility>
#include <vector>

// A connection string: "Key=Value" items separated by ';'. Keys compare
// without regard to case and surrounding blanks; a value may be quoted with
// '"' or '\'' (a doubled quote stands for one) so that it can hold ';'.
// A piece without '=' continues the previous value, so an unquoted file path
// containing ';' still reads as one value. Never fails: odd input gives
// whatever items could be read.
//
// A connection string holds the database password: the texts of its items
// are wiped when they go, unless they are still shared with a copy.
class TConnectionString {
public:
    static TConnectionString Parse(QStringView text);

    TConnectionString() = default;
    ~TConnectionString();
    TConnectionString(const TConnectionString&) = default;
    TConnectionString(TConnectionString&&) = default;
    TConnectionString& operator=(const TConnectionString&) = default;
    TConnectionString& operator=(TConnectionString&&) = default;

    // The value of the last item with this key, or nothing.
    std::optional<QString> Value(const QString& key) const;
    // The same without a copy: null when there is none. It lives as long as
    // this object, whose end wipes it.
    const QString* Find(const QString& key) const;

    const std::vector<std::pair<QString, QString>>& Items() const { return items_; }

private:
    std::vector<std::pair<QString, QString>> items_;
};

// Overwrites the text of a string that no other string shares, so that a
// secret it held is gone when its memory is freed.
void WipeText(QString& text);

namespace store {
inline const QString DataSourceKey = QStringLiteral("Data Source");
inline const QString DatabasePasswordKey = QStringLiteral("Jet OLEDB:Database Password");
} // namespace store
