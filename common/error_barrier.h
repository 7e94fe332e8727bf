// The barrier between the module and the host's C code: nothing but an
// error code crosses it. A thrown host error code (a suite the host would
// not hand out) becomes the result, running out of memory becomes
// PF_Err_OUT_OF_MEMORY, and anything else PF_Err_INTERNAL_STRUCT_DAMAGED.
#pragma once

#include <new>

#include "AE_Effect.h"

namespace lumeshade {

template <class Body>
[[gnu::always_inline]] inline PF_Err WithinErrorBarrier(Body body) noexcept {
    try {
        return body();
    } catch (A_long err) {
        return err;
    } catch (const std::bad_alloc&) {
        return PF_Err_OUT_OF_MEMORY;
    } catch (...) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
}

}  // namespace lumeshade
