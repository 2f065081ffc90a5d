#include "platform/QtMessageBox.h"

#include <QMessageBox>

namespace platform {
namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

class QtMessageBoxService final : public MessageBoxService {
public:
    MessageResult show(const MessageBoxRequest& request) override
    {
        const auto box = CreateMessageBox(request);
        const int answer = box->exec();
        if (request.buttons == MessageButtons::YesNo)
            return answer == QMessageBox::Yes ? MessageResult::Yes : MessageResult::No;
        return MessageResult::Ok;
    }
};

} // namespace

std::unique_ptr<QMessageBox> CreateMessageBox(const MessageBoxRequest& request)
{
    auto box = std::make_unique<QMessageBox>(toQtIcon(request.icon), request.caption, request.text);
    if (request.buttons == MessageButtons::YesNo) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        // Confirmations guard destructive actions: a stray Enter answers No.
        box->setDefaultButton(QMessageBox::No);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
    }
    if (request.stayOnTop)
        box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return box;
}

template <>
MessageBoxService& Service<MessageBoxService>::defaultInstance()
{
    static QtMessageBoxService service;
    return service;
}

} // namespace platform
