#pragma once
// The control object's members for folders, items and sessions, appended after
// its existing ones. Stand-in until KSimHost.idl declares them.

#include <KSimHost.h>

struct ISimHostControlItems : ISimHostControl {
    virtual HRESULT STDMETHODCALLTYPE AddItem(BSTR id, BSTR name, LONG typeCode, LONG subtypeCode, BSTR parentPath,
                                              HostObject** item) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddItems(SAFEARRAY* ids, SAFEARRAY* names, SAFEARRAY* typeCodes,
                                               SAFEARRAY* subtypeCodes, SAFEARRAY* parentPaths, LONG* added) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateSession(VARIANT_BOOL sourceFlag, HostSession** session) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSourceFlag(HostSession* session, VARIANT_BOOL sourceFlag) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetErrorInfoMode(BSTR target, LONG mode) = 0;
};
