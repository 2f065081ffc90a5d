#include "LifecycleFixture.h"

#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "platform/ApplicationWindow.h"
#include "store/ADOConnection.h"

#include <QFile>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QTimer>

const QString LifecycleFixture::kPassword = QStringLiteral("Life2010");

LifecycleFixture::~LifecycleFixture()
{
    // The tray icon leaves the notification area double while it still exists.
    EndProgram();
}

void LifecycleFixture::StartToLogin()
{
    if (!QFile::exists(FileInFolder(QStringLiteral("_.udb"))))
        DeliverDatabase(kPassword);
    StartProgram();
    form1->StartupCompleted();
    Tick(form1->Timer_CheckLogin);
    ASSERT_TRUE(form2->isVisible());
}

void LifecycleFixture::StartLoggedIn()
{
    StartToLogin();
    TypePassword(kPassword);
    ASSERT_TRUE(form1->isVisible());
}

void LifecycleFixture::TypePassword(const QString& password)
{
    form2->Edit_LoginPass->setText(password);
    form2->Button_Logining->click();
}

void Tick(QTimer* timer)
{
    ASSERT_TRUE(timer->isActive()) << timer->objectName().toStdString();
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
}

bool LifecycleFixture::Connected() const
{
    return form1->ADOConnection1->Connected();
}

bool LifecycleFixture::TaskbarButtonShown() const
{
    constexpr std::uint32_t toolWindow = 0x80;
    const auto& window = platform::ApplicationWindow::instance();
    return window.IsVisible() && (window.ExStyle() & toolWindow) == 0;
}
