#pragma once
// CMergeOptions: the option record of a merge, behind five versions of
// IKSQMergeOptions and IKSQTransvaneOptions. One stored value stands behind each
// option; the first interface that carries an option reads and writes it, and
// every later version forwards to that member, one step deep.

#include <K1MrgRls.h>

#include "com/dual.h"
#include "com/implements.h"

#include <string_view>

namespace options {

class CMergeOptions;

// One base per interface, so that a property that several versions share can
// behave differently on each.
class MergeOptions1 : public com::dual<IKSQMergeOptions> {
public:
    HRESULT STDMETHODCALLTYPE put_CopyACLOption(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_CopyACLOption(LONG* value) noexcept override;

private:
    CMergeOptions& self() noexcept;
};

class MergeOptions2 : public com::dual<IKSQMergeOptions2> {
public:
    HRESULT STDMETHODCALLTYPE put_CopyACLOption(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_CopyACLOption(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_ResolutionMethod(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_ResolutionMethod(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_UserMergeOptions(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_UserMergeOptions(LONG* value) noexcept override;

private:
    CMergeOptions& self() noexcept;
};

class TransvaneOptions : public com::dual<IKSQTransvaneOptions> {
public:
    HRESULT STDMETHODCALLTYPE get_CopyFolder(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_CopyFolder(LONG value) noexcept override;

private:
    CMergeOptions& self() noexcept;
};

class MergeOptions3 : public com::dual<IKSQMergeOptions3> {
public:
    HRESULT STDMETHODCALLTYPE put_CopyACLOption(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_CopyACLOption(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_ResolutionMethod(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_ResolutionMethod(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_UserMergeOptions(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_UserMergeOptions(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_MapSchemaObjectsSetting(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_MapSchemaObjectsSetting(LONG* value) noexcept override;

private:
    CMergeOptions& self() noexcept;
};

class MergeOptions4 : public com::dual<IKSQMergeOptions4> {
public:
    HRESULT STDMETHODCALLTYPE put_CopyACLOption(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_CopyACLOption(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_ResolutionMethod(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_ResolutionMethod(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_UserMergeOptions(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_UserMergeOptions(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_MapSchemaObjectsSetting(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_MapSchemaObjectsSetting(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_UpdateSchemaOption(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_UpdateSchemaOption(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_LockTakeOverOption(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_LockTakeOverOption(LONG* value) noexcept override;

private:
    CMergeOptions& self() noexcept;
};

class MergeOptions5 : public com::dual<IKSQMergeOptions5> {
public:
    HRESULT STDMETHODCALLTYPE put_CopyACLOption(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_CopyACLOption(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_ResolutionMethod(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_ResolutionMethod(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_UserMergeOptions(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_UserMergeOptions(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_MapSchemaObjectsSetting(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_MapSchemaObjectsSetting(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_UpdateSchemaOption(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_UpdateSchemaOption(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_LockTakeOverOption(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_LockTakeOverOption(LONG* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_TVOnOffMergeOptions(LONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_TVOnOffMergeOptions(LONG* value) noexcept override;

private:
    CMergeOptions& self() noexcept;
};

class CMergeOptions final : public com::implements<com::dual<_CMergeOptions>, MergeOptions1, TransvaneOptions,
                                                   MergeOptions3, MergeOptions4, MergeOptions2, MergeOptions5> {
public:
    static constexpr std::wstring_view class_label = L"CMergeOptions";

    CMergeOptions();

private:
    friend MergeOptions1;
    friend MergeOptions2;
    friend TransvaneOptions;
    friend MergeOptions3;
    friend MergeOptions4;
    friend MergeOptions5;

    // The member that owns an option reads or writes the stored value.
    HRESULT put_owned(std::wstring_view label, LONG& option, LONG value) noexcept;
    HRESULT get_owned(std::wstring_view label, const LONG& option, LONG* value) noexcept;
    HRESULT put_copy_acl_option(LONG value) noexcept;

    // A later version calls the owning member on its interface, as a full call.
    template <class Owner>
    HRESULT put_forwarded(std::wstring_view label, HRESULT (STDMETHODCALLTYPE Owner::*put)(LONG), LONG value) noexcept;
    template <class Owner>
    HRESULT get_forwarded(std::wstring_view label, HRESULT (STDMETHODCALLTYPE Owner::*get)(LONG*),
                          LONG* value) noexcept;

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
