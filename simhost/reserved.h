#pragma once
// The placeholder slots of the host interfaces: they keep the real operations at
// their vtable positions and do nothing.

#include <windows.h>

#define SIMHOST_RESERVED(name)                                                                                         \
    HRESULT STDMETHODCALLTYPE name() noexcept override { return E_NOTIMPL; }
