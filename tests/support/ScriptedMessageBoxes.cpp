#include "support/ScriptedMessageBoxes.h"

QStringList ScriptedMessageBoxes::texts() const
{
    QStringList result;
    for (const auto& request : shown_)
        result << request.text;
    return result;
}

platform::MessageResult ScriptedMessageBoxes::show(const platform::MessageBoxRequest& request)
{
    shown_.push_back(request);
    if (whileOpen)
        whileOpen(request);
    if (!script_.empty()) {
        const auto result = script_.front();
        script_.pop_front();
        return result;
    }
    return request.buttons == platform::MessageButtons::YesNo ? platform::MessageResult::No
                                                              : platform::MessageResult::Ok;
}
