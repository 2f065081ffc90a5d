#pragma once

#include <QEvent>

class QObject;

// The two messages the skin engine exchanges with windows, as Qt events of the
// same type numbers.

// Sent to a window (or control) before it is skinned. A window that wants to
// keep the system look sets Result to 1 in its event().
class TSkinQueryEvent : public QEvent {
public:
    static constexpr QEvent::Type Id = static_cast<QEvent::Type>(0x3523);
    TSkinQueryEvent() : QEvent(Id) {}
    long long WParam = 0;
    long long LParam = 0;
    long long Result = 0;
};

// Posted to a window right after its skinning object has been made.
class TSkinNoticeEvent : public QEvent {
public:
    static constexpr QEvent::Type Id = static_cast<QEvent::Type>(0x3503);
    TSkinNoticeEvent() : QEvent(Id) {}
    long long WParam = 0;
    long long LParam = 1000;
};

// Sends the query to the object; true when it answers 1.
bool RefusesSkin(QObject* target);
