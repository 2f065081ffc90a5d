// Writes the database file the program is delivered with.
//
//   mkudb FOLDER [--password P]
//
// FOLDER/_.udb gets the empty record table and the management password P
// (default "Quillory2010"). An existing file is never replaced.

#include "store/DeliveredDatabase.h"
#include "store/engine/DatabaseError.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace {

struct Options {
    QString folder;
    QString password = store::DefaultInitialPassword;
};

void PrintLine(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

std::optional<Options> ParseArguments(const QStringList& arguments)
{
    Options options;
    bool haveFolder = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--password")) {
            if (++i >= arguments.size())
                return std::nullopt;
            options.password = arguments[i];
        } else if (argument.startsWith(QLatin1String("--password="))) {
            options.password = argument.mid(11);
        } else if (argument.startsWith(QLatin1String("--")) || haveFolder) {
            return std::nullopt;
        } else {
            options.folder = argument;
            haveFolder = true;
        }
    }
    if (!haveFolder || options.folder.isEmpty())
        return std::nullopt;
    return options;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const std::optional<Options> options = ParseArguments(QCoreApplication::arguments());
    if (!options) {
        PrintLine(stderr, QStringLiteral("usage: mkudb FOLDER [--password P]"));
        return 2;
    }
    try {
        const QString path = store::CreateDeliveredDatabase(options->folder, options->password);
        PrintLine(stdout, QStringLiteral("mkudb: wrote %1").arg(path));
        return 0;
    } catch (const EDatabaseError& error) {
        PrintLine(stderr, QStringLiteral("mkudb: ") + QString::fromUtf8(error.what()));
        return 1;
    }
}
