/// Suite slots the emulated host does not implement. They exist, are
/// counted like every other host function, and answer A_Err_GENERIC ("not
/// supported by this host"), so that a table is complete slot for slot.
#pragma once

#include "A.h"
#include "host/call_site.h"

namespace lumeshade::host {

template <FunctionName Name, class Fn>
struct Unsupported;

template <FunctionName Name, class... Args>
struct Unsupported<Name, A_Err (*)(Args...)> {
    static A_Err Call(Args...) {
        if (const A_long err = CountCall<Name>()) return err;
        return A_Err_GENERIC;
    }
};

}  // namespace lumeshade::host

/// The unsupported function for slot `fn` of suite table `Suite`.
#define LUMESHADE_UNSUPPORTED(Suite, fn) \
    ::lumeshade::host::Unsupported<#fn, decltype(Suite::fn)>::Call
