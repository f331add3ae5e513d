#pragma once
// Serves the simulated host from the program's own process: while an
// in_process_host lives, CoCreateInstance of a host service or of
// SimHostControl in the calling thread's apartment (every multithreaded thread,
// when made on one) creates the objects from the code linked into the program,
// with no DLL to load and nothing to register. Link the simhost_services library.

#include <windows.h>

#include <vector>

namespace simhost {

class in_process_host {
public:
    // Registers the class objects with CoRegisterClassObject (REGCLS_MULTIPLEUSE);
    // throws com::com_error, with none left registered, when one fails.
    in_process_host();
    // Revokes them.
    ~in_process_host();
    in_process_host(const in_process_host&) = delete;
    in_process_host& operator=(const in_process_host&) = delete;

private:
    void revoke() noexcept;

    std::vector<DWORD> cookies_;
};

} // namespace simhost
