#pragma once

#include "platform/MessageBoxService.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

// Message-box double: records every box the program shows and answers it from
// a script instead of waiting for a user. Installed for its own lifetime.
class ScriptedMessageBoxes final : public platform::MessageBoxService {
public:
    ScriptedMessageBoxes() : override_(*this) {}

    // Answers the next boxes in order; an unscripted box is answered Ok, or No
    // when it asks Yes/No, so nothing destructive happens by accident.
    void answer(platform::MessageResult result) { script_.push_back(result); }

    // Runs while a box is "open", like the box's own event loop would.
    std::function<void(const platform::MessageBoxRequest&)> whileOpen;

    const std::vector<platform::MessageBoxRequest>& shown() const { return shown_; }
    QStringList texts() const;
    void clear() { shown_.clear(); }

    platform::MessageResult show(const platform::MessageBoxRequest& request) override;

private:
    platform::Service<platform::MessageBoxService>::Override override_;
    std::deque<platform::MessageResult> script_;
    std::vector<platform::MessageBoxRequest> shown_;
};
