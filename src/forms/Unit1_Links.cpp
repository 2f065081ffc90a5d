// Contact actions of the editor and the links to the maker's pages.
#include "forms/Unit1.h"

#include "platform/ShellService.h"
#include "ui/Links.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

// Hands a record's address to the desktop, unless its box is empty.
void openIfNotEmpty(const QString& boxText, const QString& address)
{
    if (!boxText.isEmpty())
        platform::shell().open(address);
}

} // namespace

void TForm1::Button5Click(QObject* /*Sender*/)
{
    openIfNotEmpty(Edit_WangZhi->text(), Edit_WangZhi->text());
}

void TForm1::Button6Click(QObject* /*Sender*/)
{
    openIfNotEmpty(Edit_YouXiang->text(), links::MailAddress(Edit_YouXiang->text()));
}

void TForm1::Button8Click(QObject* /*Sender*/)
{
    openIfNotEmpty(Edit_QQ->text(), links::ChatAddress(Edit_QQ->text()));
}

void TForm1::AboutmeClick(QObject* /*Sender*/)
{
    platform::shell().open(links::MakerPage(links::kHomeEndpoint, EditVer->text()));
}

void TForm1::ButtonWEBClick(QObject* /*Sender*/)
{
    AboutmeClick(Aboutme);
}

void TForm1::Image2Click(QObject* /*Sender*/)
{
    ButtonWEBClick(ButtonWEB);
}

void TForm1::Label12Click(QObject* /*Sender*/)
{
    platform::shell().open(links::MakerPage(links::kForumEndpoint, EditVer->text()));
}

void TForm1::Label26Click(QObject* /*Sender*/)
{
    platform::shell().open(links::MakerPage(links::kHomeEndpoint, EditVer->text()));
}

void TForm1::Label23Click(QObject* /*Sender*/)
{
    platform::shell().open(links::MakerPage(links::kSoftwareEndpoint, EditVer->text()));
}

void TForm1::Label24Click(QObject* /*Sender*/)
{
    platform::shell().open(links::MakerPage(links::kDownloadEndpoint, EditVer->text()));
}

void TForm1::Label25Click(QObject* /*Sender*/)
{
    platform::shell().open(links::MakerPage(links::kBlogEndpoint, EditVer->text()));
}

void TForm1::Label27Click(QObject* /*Sender*/)
{
    platform::shell().open(links::MakerPage(links::kHelpEndpoint, EditVer->text()));
}
