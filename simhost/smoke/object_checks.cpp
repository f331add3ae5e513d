// Smoke checks of host objects made with AddItem and their related objects.

#include "smoke_support.h"

#include <K5TYPLIB.h>

#include <com/safearray.h>

namespace smoke {

namespace {

long id_dispid(IDispatch& object)
{
    wchar_t name[] = L"ID";
    LPOLESTR names[] = {name};
    DISPID id = DISPID_UNKNOWN;
    object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

} // namespace

void check_objects(ISimHostControl& host)
{
    com::com_ptr<HostObject> a, b, c, found;
    host.AddItem(com::bstr(L"A").get(), com::bstr(L"A").get(), 5, 1, com::bstr(L"").get(), a.put());
    host.AddItem(com::bstr(L"B").get(), com::bstr(L"B").get(), 6, 2, com::bstr(L"").get(), b.put());
    host.AddItem(com::bstr(L"C").get(), com::bstr(L"C").get(), 7, 3, com::bstr(L"").get(), c.put());
    expect(a && b && c, "AddItem returns objects");
    if (!a || !b || !c) return;
    host.FindObject(com::bstr(L"A").get(), found.put());
    expect(found == a, "FindObject returns the same COM object");
    expect(a.try_as<HostObject2>().get() == static_cast<HostObject2*>(a.get()),
           "HostObject and HostObject2 are the same pointer");
    host.Relate(com::bstr(L"A").get(), com::bstr(L"B").get());
    host.Relate(com::bstr(L"A").get(), com::bstr(L"C").get());
    host.Relate(com::bstr(L"A").get(), com::bstr(L"B").get());

    // Late-bound, as scripts read host objects: served from the embedded type libraries.
    com::variant id;
    DISPPARAMS none{};
    const HRESULT invoked = a->Invoke(id_dispid(*a), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                      id.put(), nullptr, nullptr);
    expect(invoked == S_OK && id.get()->vt == VT_BSTR && com::bstr::view_of(id.get()->bstrVal) == L"A",
           "HostObject.ID through IDispatch");

    com::com_ptr<IDispatch> related;
    expect(a->get_RelatedObjects(related.put()) == S_OK && related, "RelatedObjects gives a collection");
    if (!related) return;
    com::variant enumerator;
    expect(related->Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, enumerator.put(),
                           nullptr, nullptr) == S_OK &&
               enumerator.get()->vt == VT_UNKNOWN,
           "DISPID_NEWENUM gives an enumerator");
    com::com_ptr<IEnumVARIANT> items;
    if (enumerator.get()->vt == VT_UNKNOWN)
        enumerator.get()->punkVal->QueryInterface(IID_IEnumVARIANT, items.put_void());
    expect(bool(items), "the enumerator is an IEnumVARIANT");
    if (!items) return;
    VARIANT delivered[4];
    ULONG fetched = 0;
    expect(items->Next(4, delivered, &fetched) == S_FALSE && fetched == 3, "three related objects");
    const HostObject* expected[] = {b.get(), c.get(), b.get()};
    for (ULONG i = 0; i < fetched; ++i) {
        expect(delivered[i].vt == VT_DISPATCH && delivered[i].pdispVal == expected[i],
               "related objects in order, as the same COM objects");
        ::VariantClear(&delivered[i]);
    }

    // A late-bound caller sees an injected failure as an exception, as from a dual interface.
    const HRESULT injected = static_cast<HRESULT>(0x80045678);
    host.InjectFailure(com::bstr(L"Collection._NewEnum").get(), 1, injected, com::bstr(L"no enum").get());
    EXCEPINFO exception{};
    expect(related->Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, enumerator.put(),
                           &exception, nullptr) == DISP_E_EXCEPTION &&
               exception.scode == injected && com::bstr::view_of(exception.bstrDescription) == L"no enum",
           "an injected _NewEnum failure");
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);

    host.InjectFailure(com::bstr(L"HostObject.TypeCode").get(), 1, injected, com::bstr(L"no type").get());
    long type = 0;
    expect(b->get_TypeCode(&type) == injected && current_error().description == L"no type",
           "an injected HostObject.TypeCode failure");
    expect(b->get_TypeCode(&type) == S_OK && type == 6, "TypeCode afterwards");
}

void check_live_objects(ISimHostControl& host)
{
    long live = -1;
    host.ClearObjects();
    host.get_LiveObjects(&live);
    expect(live == 0, "no live objects once every object is released and the repository cleared");
}

} // namespace smoke
