#include "desktop/Unit_Function.h"

#include "platform/ApplicationWindow.h"
#include "platform/ShellService.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

// A value of a launcher's Exec key: the path quoted, with the characters that
// are special inside quotes escaped.
QString QuotedExecArgument(const QString& path)
{
    QString escaped;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    // A literal "%" must be doubled in an Exec line.
    escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// A launcher value with backslashes and line breaks escaped, so that no text
// (a folder name with a line break, say) can end its line or add a key.
QString EscapedValue(const QString& value)
{
    QString escaped;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\': escaped += QStringLiteral("\\\\"); break;
        case u'\n': escaped += QStringLiteral("\\n"); break;
        case u'\r': escaped += QStringLiteral("\\r"); break;
        case u'\t': escaped += QStringLiteral("\\t"); break;
        default: escaped += c;
        }
    }
    return escaped;
}

} // namespace

void CreateDesktopShortcut(const QString& target, const QString& name)
{
    const QString desktop = platform::shell().desktopFolder();
    if (desktop.isEmpty())
        return;
    const QString workingDirectory = target.left(target.lastIndexOf(QLatin1Char('/')) + 1);
    const QString launcher = QStringLiteral("[Desktop Entry]\n"
                                            "Type=Application\n"
                                            "Name=%1\n"
                                            "Exec=%2\n"
                                            "Path=%3\n"
                                            "Terminal=false\n")
                                 .arg(EscapedValue(name), EscapedValue(QuotedExecArgument(target)), EscapedValue(workingDirectory));

    // Written whole or not at all; a desktop folder that cannot be written goes unreported.
    QSaveFile file(desktop + QLatin1Char('/') + name + QStringLiteral(".desktop"));
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(launcher.toUtf8());
    if (file.commit())
        QFile::setPermissions(file.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                   | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                                   | QFileDevice::ReadOther);
}

void HideTaskbarButton()
{
    auto& window = platform::ApplicationWindow::instance();
    window.SetVisible(false);
    window.SetExStyle(window.ExStyle() | platform::WS_EX_TOOLWINDOW);
}

void ShowTaskbarButton()
{
    auto& window = platform::ApplicationWindow::instance();
    window.SetVisible(true);
    window.SetExStyle(window.ExStyle() & ~platform::WS_EX_TOOLWINDOW);
}
