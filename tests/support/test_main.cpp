// Every test program runs its tests on one single-threaded apartment, as the host does.
#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdio>

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
    const int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
