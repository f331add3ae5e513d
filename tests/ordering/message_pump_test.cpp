// The yield to the thread's message loop, and its replaceable hook.
#include "ordering/message_pump.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

constexpr UINT probe_message = WM_APP + 1;
int probes_received = 0;

LRESULT CALLBACK probe_window(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == probe_message) ++probes_received;
    return ::DefWindowProcW(window, message, wparam, lparam);
}

TEST(MessagePumpTest, DispatchesThePendingMessagesAndLeavesTheQuitRequestQueued)
{
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = probe_window;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"OrderingMessagePumpTest";
    ::RegisterClassW(&window_class);
    HWND window = ::CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    window_class.hInstance, nullptr);
    ASSERT_TRUE(window);
    for (int i = 0; i < 3; ++i)
        ::PostMessageW(window, probe_message, 0, 0);
    ::PostQuitMessage(5);
    ordering::yield_to_message_pump();
    EXPECT_EQ(probes_received, 3);
    // The quit request is still there for the host's own loop, and only it.
    MSG message;
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 5u);
    EXPECT_FALSE(::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    ::DestroyWindow(window);
}

} // namespace
