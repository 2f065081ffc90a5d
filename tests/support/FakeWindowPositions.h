#pragma once

#include "platform/WindowPositionService.h"

#include <QMap>
#include <QWindow>

// Window-system double: answers, for each native window it was told about,
// where the window system has put it, and counts the questions. Installed for
// its own lifetime.
class FakeWindowPositions final : public platform::WindowPositionService {
public:
    FakeWindowPositions() : override_(*this) {}

    std::optional<QPoint> positionOnScreen(const QWindow& window) override
    {
        ++questions;
        const auto found = positions.constFind(&window);
        return found == positions.constEnd() ? std::nullopt : std::optional<QPoint>(*found);
    }

    QMap<const QWindow*, QPoint> positions;
    int questions = 0;

private:
    platform::Service<platform::WindowPositionService>::Override override_;
};
