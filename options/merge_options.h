#pragma once
// CMergeOptions: the option record of a merge, behind five versions of
// IKSQMergeOptions and IKSQTransvaneOptions. One stored value stands behind each
// option; the first interface that carries an option reads and writes it, and
// every later version forwards to that member, one step deep.

#include <K1MrgRls.h>

#include "com/dual.h"
#include "com/implements.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace options {

class CMergeOptions;

// The two accessors of a LONG option.
#define MERGE_OPTION_ACCESSORS(Option)                                                                                 \
    HRESULT STDMETHODCALLTYPE put_##Option(LONG value) noexcept override;                                              \
    HRESULT STDMETHODCALLTYPE get_##Option(LONG* value) noexcept override;

// An interface or member name as a template argument, so that a version's trace
// labels ("IKSQMergeOptions3_CopyACLOption") are made at compile time.
template <std::size_t N> struct label_text {
    constexpr label_text(const wchar_t (&text)[N]) { std::copy_n(text, N, chars); }
    wchar_t chars[N]{};
};

// Version N of IKSQMergeOptions repeats the options of every earlier version and
// brings its own. Each VersionNOptions<I, Name> adds the options version N brought
// to the interface I named Name: the version that brought an option reads and
// writes the stored value, every later one calls that version's member through
// its interface under its own label. One base per interface, so that a property
// that several versions share behaves differently on each.
template <class I, label_text Name> class Version1Options : public com::dual<I> {
public:
    HRESULT STDMETHODCALLTYPE put_CopyACLOption(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_CopyACLOption(LONG* value) noexcept override;

protected:
    CMergeOptions& self() noexcept;

    // The option Member that interface Owner brought, stored in `field`.
    template <label_text Member, class Owner>
    HRESULT put_option(LONG CMergeOptions::*field, HRESULT (STDMETHODCALLTYPE Owner::*owner_put)(LONG),
                       LONG value) noexcept;
    template <label_text Member, class Owner>
    HRESULT get_option(LONG CMergeOptions::*field, HRESULT (STDMETHODCALLTYPE Owner::*owner_get)(LONG*),
                       LONG* value) noexcept;
};

template <class I, label_text Name> class Version2Options : public Version1Options<I, Name> {
public:
    MERGE_OPTION_ACCESSORS(ResolutionMethod)
    MERGE_OPTION_ACCESSORS(UserMergeOptions)
};

template <class I, label_text Name> class Version3Options : public Version2Options<I, Name> {
public:
    MERGE_OPTION_ACCESSORS(MapSchemaObjectsSetting)
};

template <class I, label_text Name> class Version4Options : public Version3Options<I, Name> {
public:
    MERGE_OPTION_ACCESSORS(UpdateSchemaOption)
    MERGE_OPTION_ACCESSORS(LockTakeOverOption)
};

template <class I, label_text Name> class Version5Options : public Version4Options<I, Name> {
public:
    MERGE_OPTION_ACCESSORS(TVOnOffMergeOptions)
};

#undef MERGE_OPTION_ACCESSORS

using MergeOptions1 = Version1Options<IKSQMergeOptions, L"IKSQMergeOptions">;
using MergeOptions2 = Version2Options<IKSQMergeOptions2, L"IKSQMergeOptions2">;
using MergeOptions3 = Version3Options<IKSQMergeOptions3, L"IKSQMergeOptions3">;
using MergeOptions4 = Version4Options<IKSQMergeOptions4, L"IKSQMergeOptions4">;
using MergeOptions5 = Version5Options<IKSQMergeOptions5, L"IKSQMergeOptions5">;

class TransvaneOptions : public com::dual<IKSQTransvaneOptions> {
public:
    HRESULT STDMETHODCALLTYPE get_CopyFolder(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_CopyFolder(LONG value) noexcept override;
};

class CMergeOptions final : public com::implements<com::dual<_CMergeOptions>, MergeOptions1, TransvaneOptions,
                                                   MergeOptions3, MergeOptions4, MergeOptions2, MergeOptions5> {
public:
    static constexpr std::wstring_view class_label = L"CMergeOptions";

    CMergeOptions();

private:
    template <class I, label_text Name> friend class Version1Options;
    template <class I, label_text Name> friend class Version2Options;
    template <class I, label_text Name> friend class Version3Options;
    template <class I, label_text Name> friend class Version4Options;
    template <class I, label_text Name> friend class Version5Options;
    friend TransvaneOptions;

    // Takes only 1 and 2; anything else is the numbered error naming the value.
    HRESULT put_copy_acl_option(LONG value) noexcept;

    LONG copy_acl_option = 1;
    LONG copy_folder = 1;
    LONG resolution_method = 0;
    LONG user_merge_options = 0;
    LONG map_schema_objects_setting = 0;
    LONG update_schema_option = 0;
    LONG lock_take_over_option = 0;
    LONG tv_on_off_merge_options = 0;
};

} // namespace options
