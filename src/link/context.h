#pragma once
// What every subsystem works on: the window's controls, the shared state,
// the platform, the message boxes and the printer link.

#include "form/dialogs.h"
#include "form/form1.h"
#include "form/sharedstate.h"
#include "link/link.h"
#include "platform/platform.h"

namespace softswitch {

struct Context {
    Context(Form1& form_, SharedState& state_, const Platform& platform_)
        : form(form_), state(state_), platform(platform_)
    {
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    Form1& form;
    SharedState& state;
    Platform platform;
    Dialogs dialogs{platform.boxes};
    Link link{form, state, platform, dialogs};
};

} // namespace softswitch
