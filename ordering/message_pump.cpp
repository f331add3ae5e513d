#include "message_pump.h"

#include <windows.h>

#include <utility>

namespace ordering {

namespace {

thread_local yield_hook installed_hook;

} // namespace

void yield_to_message_pump()
{
    if (installed_hook) {
        // A copy, so that a hook which replaces itself while it runs stays alive.
        const yield_hook hook = installed_hook;
        hook();
    } else {
        pump_pending_messages();
    }
}

yield_hook replace_yield_hook(yield_hook hook) { return std::exchange(installed_hook, std::move(hook)); }

void pump_pending_messages()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The quit request belongs to the host's own message loop: put it back
            // and stop, or the host would never end.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

} // namespace ordering
