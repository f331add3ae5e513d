#pragma once
// An owning BSTR. Lengths are explicit, so embedded NUL characters survive.

#include <windows.h>
#include <ole2.h>

#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace com {

class bstr {
public:
    bstr() noexcept = default;
    explicit bstr(std::wstring_view text) : s_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
    {
        if (!s_) throw std::bad_alloc();
    }
    bstr(const bstr& other) : bstr(other.view()) {}
    bstr(bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
    ~bstr() { ::SysFreeString(s_); }

    bstr& operator=(bstr other) noexcept
    {
        std::swap(s_, other.s_);
        return *this;
    }

    static bstr attach(BSTR s) noexcept
    {
        bstr result;
        result.s_ = s;
        return result;
    }
    [[nodiscard]] BSTR detach() noexcept { return std::exchange(s_, nullptr); }

    BSTR get() const noexcept { return s_; }
    // By reference, for a callee that may replace the text.
    BSTR* ref() noexcept { return &s_; }
    BSTR* put() noexcept
    {
        ::SysFreeString(std::exchange(s_, nullptr));
        return &s_;
    }

    std::wstring_view view() const noexcept { return view_of(s_); }
    std::wstring str() const { return std::wstring(view()); }

    // A null BSTR is the empty text.
    static std::wstring_view view_of(BSTR s) noexcept { return {s ? s : L"", ::SysStringLen(s)}; }

private:
    BSTR s_ = nullptr;
};

} // namespace com
