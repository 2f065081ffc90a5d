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
class TConnectionString {
public:
    static TConnectionString Parse(QStringView text);

    // The value of the last item with this key, or nothing.
    std::optional<QString> Value(const QString& key) const;

    const std::vector<std::pair<QString, QString>>& Items() const { return items_; }

private:
    std::vector<std::pair<QString, QString>> items_;
};

namespace store {
inline const QString DataSourceKey = QStringLiteral("Data Source");
inline const QString DatabasePasswordKey = QStringLiteral("Jet OLEDB:Database Password");
} // namespace store
