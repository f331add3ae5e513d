#pragma once
// SimHostControl: how tests steer the simulated host and read what it recorded.
// Its own calls are neither counted nor logged, and it is not a live simulated
// object, so holding one does not change LiveObjects.

#include <com/dual.h>
#include <com/implements.h>

#include <KSimHost.h>

namespace simhost {

class sim_host_control final : public com::implements<com::dual<ISimHostControl>> {
public:
    HRESULT STDMETHODCALLTYPE Reset() noexcept override;

    HRESULT STDMETHODCALLTYPE get_TraceLines(SAFEARRAY** lines) noexcept override;
    HRESULT STDMETHODCALLTYPE get_TraceText(BSTR* text) noexcept override;
    HRESULT STDMETHODCALLTYPE ClearTrace() noexcept override;
    HRESULT STDMETHODCALLTYPE get_TraceMode(LONG* mode) noexcept override;
    HRESULT STDMETHODCALLTYPE put_TraceMode(LONG mode) noexcept override;

    HRESULT STDMETHODCALLTYPE get_Calls(SAFEARRAY** calls) noexcept override;
    HRESULT STDMETHODCALLTYPE ClearCalls() noexcept override;
    HRESULT STDMETHODCALLTYPE CallCount(BSTR operation_name, LONG* count) noexcept override;
    HRESULT STDMETHODCALLTYPE InstanceCount(BSTR service, LONG thread_id, LONG* count) noexcept override;
    HRESULT STDMETHODCALLTYPE get_LiveObjects(LONG* count) noexcept override;

    HRESULT STDMETHODCALLTYPE InjectFailure(BSTR operation_name, LONG nth, LONG hr, BSTR description) noexcept override;
    HRESULT STDMETHODCALLTYPE ClearFailures() noexcept override;

    HRESULT STDMETHODCALLTYPE put_EnvironmentText(BSTR text) noexcept override;
    HRESULT STDMETHODCALLTYPE SetCategory(LONG type_code, LONG category) noexcept override;
    HRESULT STDMETHODCALLTYPE ResetCategories() noexcept override;
    HRESULT STDMETHODCALLTYPE put_RaiseErrorSucceeds(VARIANT_BOOL value) noexcept override;

    HRESULT STDMETHODCALLTYPE AddObject(BSTR id, LONG type_code, LONG subtype_code, BSTR full_path,
                                        HostObject** object) noexcept override;
    HRESULT STDMETHODCALLTYPE FindObject(BSTR id, HostObject** object) noexcept override;
    HRESULT STDMETHODCALLTYPE Relate(BSTR from_id, BSTR to_id) noexcept override;
    HRESULT STDMETHODCALLTYPE ClearObjects() noexcept override;

    HRESULT STDMETHODCALLTYPE AddItem(BSTR id, BSTR name, LONG type_code, LONG subtype_code, BSTR parent_path,
                                      HostObject** item) noexcept override;
    HRESULT STDMETHODCALLTYPE AddItems(SAFEARRAY* ids, SAFEARRAY* names, SAFEARRAY* type_codes,
                                       SAFEARRAY* subtype_codes, SAFEARRAY* parent_paths,
                                       LONG* added) noexcept override;

    HRESULT STDMETHODCALLTYPE CreateSession(VARIANT_BOOL source_flag, HostSession** session) noexcept override;
    HRESULT STDMETHODCALLTYPE SetSourceFlag(HostSession* session, VARIANT_BOOL source_flag) noexcept override;

    HRESULT STDMETHODCALLTYPE SetErrorInfoMode(BSTR target, LONG mode) noexcept override;

    HRESULT STDMETHODCALLTYPE put_CountedTraceLine(BSTR line) noexcept override;
    HRESULT STDMETHODCALLTYPE TraceLineCount(BSTR line, LONG* count) noexcept override;
    HRESULT STDMETHODCALLTYPE put_KeepTraceRecords(VARIANT_BOOL keep) noexcept override;
    HRESULT STDMETHODCALLTYPE TakeTraceRecords(SAFEARRAY** records) noexcept override;
    HRESULT STDMETHODCALLTYPE TraceLabelId(BSTR label, LONG* id) noexcept override;
    HRESULT STDMETHODCALLTYPE AsInterface(IUnknown* object, BSTR iid, IDispatch** reference) noexcept override;
};

} // namespace simhost
