#pragma once

#include "platform/DesktopService.h"

// Desktop double: counts the beeps.
class FakeDesktop final : public platform::DesktopService {
public:
    FakeDesktop() : override_(*this) {}
    void beep() override { ++beeps; }
    int beeps = 0;

private:
    platform::Service<platform::DesktopService>::Override override_;
};
