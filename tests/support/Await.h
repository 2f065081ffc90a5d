#pragma once

#include <QEventLoop>

// Starts work that answers through a callback and turns the event loop until
// it has answered; returns the answer. start is called with the callback.
template <class Answer, class Start>
Answer Await(Start start)
{
    Answer answer{};
    QEventLoop loop;
    bool done = false;
    start([&](const Answer& given) {
        answer = given;
        done = true;
        loop.quit();
    });
    if (!done)
        loop.exec();
    return answer;
}
