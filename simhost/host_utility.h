#pragma once
// HostUtility: the host's error raising, category and comparison helpers.
//
// CategoryOfType answers an entry set with SimHostControl.SetCategory, or else the
// default table:
//   type codes 100 to 399  ->  category type / 100 (1, 2 or 3)
//   every other type code  ->  category 0

#include "operations.h"
#include "simulated.h"

#include <com/dual.h>

#include <K1PriTyp.h>

namespace simhost {

class host_utility final : public simulated<error_target::host_utility, com::dual<IHostUtility>> {
public:
    static constexpr operation creation = operation::utility_create;

    // Fails with 0x800A0000 | (code & 0xFFFF), the given source and the host's
    // message for the code (see error_messages.h), unless a test made it succeed.
    HRESULT STDMETHODCALLTYPE RaiseError(LONG* code, BSTR* source, SAFEARRAY** arguments) noexcept override;
    // "Category <category>".
    HRESULT STDMETHODCALLTYPE DescribeCategory(LONG* category, BSTR* text) noexcept override;
    HRESULT STDMETHODCALLTYPE CategoryOfType(LONG* type_code, LONG* category) noexcept override;
    // The option in decimal.
    HRESULT STDMETHODCALLTYPE DescribeAclOption(LONG* option, BSTR* text) noexcept override;
    // Equal: the same object, the same text exactly, or VarCmp equal for other values.
    HRESULT STDMETHODCALLTYPE ValuesEqual(VARIANT first, VARIANT second, LONG options,
                                          VARIANT_BOOL* equal) noexcept override;
    HRESULT STDMETHODCALLTYPE SourceFlag(ObjectSource2** source, VARIANT_BOOL* flag) noexcept override;
    SIMHOST_RESERVED(Reserved02)
    SIMHOST_RESERVED(Reserved04)
    SIMHOST_RESERVED(Reserved06)
    SIMHOST_RESERVED(Reserved07)
    SIMHOST_RESERVED(Reserved08)
    SIMHOST_RESERVED(Reserved10)
    SIMHOST_RESERVED(Reserved11)
    SIMHOST_RESERVED(Reserved12)
    SIMHOST_RESERVED(Reserved13)
    SIMHOST_RESERVED(Reserved14)
    SIMHOST_RESERVED(Reserved15)
    SIMHOST_RESERVED(Reserved16)
    SIMHOST_RESERVED(Reserved17)
    SIMHOST_RESERVED(Reserved18)
    SIMHOST_RESERVED(Reserved19)
    SIMHOST_RESERVED(Reserved20)
    SIMHOST_RESERVED(Reserved22)
    SIMHOST_RESERVED(Reserved23)
    SIMHOST_RESERVED(Reserved24)
    SIMHOST_RESERVED(Reserved25)
    SIMHOST_RESERVED(Reserved26)
    SIMHOST_RESERVED(Reserved27)
    SIMHOST_RESERVED(Reserved28)
    SIMHOST_RESERVED(Reserved29)
    SIMHOST_RESERVED(Reserved30)
    SIMHOST_RESERVED(Reserved31)
    SIMHOST_RESERVED(Reserved32)
    SIMHOST_RESERVED(Reserved33)
};

} // namespace simhost
