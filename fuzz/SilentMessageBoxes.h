#pragma once

#include "platform/MessageBoxService.h"

// Answers every message box at once (Ok, or No to a question) so that code
// that reports bad input with a box can run under the fuzzer. Installed for
// its own lifetime.
class SilentMessageBoxes final : public platform::MessageBoxService {
public:
    SilentMessageBoxes() : override_(*this) {}

    platform::MessageResult show(const platform::MessageBoxRequest& request) override
    {
        ++shown;
        return request.buttons == platform::MessageButtons::YesNo ? platform::MessageResult::No
                                                                  : platform::MessageResult::Ok;
    }

    int shown = 0;

private:
    platform::Service<platform::MessageBoxService>::Override override_;
};
