#pragma once

#include "runtime/Application.h"

#include <utility>

// Runs a component's event handler from the event loop: through the
// application's dispatcher when there is one, so an error in the handler is
// reported and never unwinds into the event loop.
template <class Handler>
void RunEvent(Handler&& handler)
{
    if (Application)
        Application->Dispatch(std::forward<Handler>(handler));
    else
        std::forward<Handler>(handler)();
}
