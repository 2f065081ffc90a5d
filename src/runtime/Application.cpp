#include "runtime/Application.h"

#include "platform/MessageBoxService.h"

#include <QApplication>
#include <QFileInfo>

TApplication* Application = nullptr;

TApplication::TApplication(QString exeName, QObject* parent)
    : QObject(parent), exeName_(std::move(exeName))
{
    Application = this;
}

TApplication::~TApplication()
{
    if (Application == this)
        Application = nullptr;
}

QString TApplication::ProgramFolder() const
{
    const int slash = exeName_.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : exeName_.left(slash + 1);
}

void TApplication::Run()
{
    if (terminated_)
        return;
    if (ShowMainForm && mainForm_)
        mainForm_->show();
    QApplication::exec();
}

void TApplication::Terminate()
{
    if (terminated_)
        return;
    terminated_ = true;
    emit terminating();
    QCoreApplication::exit(0);
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::ShowException(const std::exception& error)
{
    Report(QString::fromUtf8(error.what()));
}

void TApplication::ShowUnknownException()
{
    Report(QStringLiteral("Unknown error"));
}

void TApplication::Report(const QString& text)
{
    platform::MessageBoxRequest request;
    request.text = text;
    request.caption = Title;
    platform::messageBoxes().show(request);
}
