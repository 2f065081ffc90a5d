#include "app/ProgramEntry.h"

#include "desktop/Unit_Clipbrd.h"
#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "platform/InstanceLock.h"
#include "runtime/Application.h"
#include "runtime/Dialogs.h"
#include "store/BookFiles.h"
#include "store/DatabaseConstants.h"

#include <QApplication>

#include <memory>

int RunProgram(const QString& exeName)
{
    // One running copy per user: a second copy, or a name that cannot be
    // locked, ends at once without a word.
    const auto instanceLock = platform::instanceLocks().acquire(QStringLiteral("通讯录"));
    if (!instanceLock)
        return 0;

    TApplication application(exeName);
    // Only the application object carries the title: a display name set on Qt
    // would be appended to every window's title on the desktop.
    application.Title = QStringLiteral("Quillory");
    // One running program per book too, whatever its user or runtime folder:
    // a second one would write beside the first and lose what the other
    // changes (a compaction replaces the file under it).
    const QString book = application.ProgramFolder() + store::DatabaseFileName;
    const store::BookLock bookLock = store::BookLock::Take(book);
    if (bookLock.HeldElsewhere()) {
        ShowMessage(QStringLiteral("另一个正在运行的Quillory已经打开了通讯录\"%1\", 本程序将退出.").arg(book));
        return 0;
    }
    // Only TApplication::Terminate ends the loop; the program often has no window on screen.
    QApplication::setQuitOnLastWindowClosed(false);

    {
        auto mainForm = std::make_unique<TForm1>();
        application.SetMainForm(mainForm.get());
        auto loginForm = std::make_unique<TForm2>();
        mainForm->StartupCompleted();
        application.Run();
    }
    ReleaseClipboardInstance();
    return 0;
}
