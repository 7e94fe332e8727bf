// The ANSI helpers: C library functions the host lends the module.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"
#include "host/suites.h"

namespace lumeshade::host {
namespace {

#define HOST_MATH1(fn)               \
    A_FpLong Ansi_##fn(A_FpLong x) { \
        CountCall<#fn>();            \
        return std::fn(x);           \
    }
#define HOST_MATH2(fn)                           \
    A_FpLong Ansi_##fn(A_FpLong x, A_FpLong y) { \
        CountCall<#fn>();                        \
        return std::fn(x, y);                    \
    }

HOST_MATH1(atan)
HOST_MATH2(atan2)
HOST_MATH1(ceil)
HOST_MATH1(cos)
HOST_MATH1(exp)
HOST_MATH1(fabs)
HOST_MATH1(floor)
HOST_MATH2(fmod)
HOST_MATH2(hypot)
HOST_MATH1(log)
HOST_MATH1(log10)
HOST_MATH2(pow)
HOST_MATH1(sin)
HOST_MATH1(sqrt)
HOST_MATH1(tan)
HOST_MATH1(asin)
HOST_MATH1(acos)

#undef HOST_MATH1
#undef HOST_MATH2

}  // namespace

// Like the C function it stands for, sprintf writes as much as the format
// produces. The one buffer whose size the host knows is out_data's return
// message: a text that would run past it is recorded as a violation and cut
// at the buffer's end instead of overwriting the fields behind it.
int HostSprintf(A_char* dst, const A_char* format, ...) {
    CountCall<"sprintf">();
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(needed > 0 ? size_t(needed) : 0, '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);

    if (Host::Exists()) {
        HostState& s = Host::Current().State();
        if (dst == s.outData.return_msg && text.size() > PF_MAX_EFFECT_MSG_LEN) {
            std::lock_guard<std::mutex> lock(s.mutex);
            s.Violation("sprintf ran past the 256-byte return message");
            text.resize(PF_MAX_EFFECT_MSG_LEN);
        }
    }
    std::memcpy(dst, text.c_str(), text.size() + 1);
    return int(text.size());
}

A_char* HostStrcpy(A_char* dst, const A_char* src) {
    CountCall<"strcpy">();
    return std::strcpy(dst, src);
}

const PF_ANSICallbacksSuite1 kAnsiSuite = {Ansi_atan,   Ansi_atan2, Ansi_ceil, Ansi_cos,   Ansi_exp,
                                           Ansi_fabs,   Ansi_floor, Ansi_fmod, Ansi_hypot, Ansi_log,
                                           Ansi_log10,  Ansi_pow,   Ansi_sin,  Ansi_sqrt,  Ansi_tan,
                                           HostSprintf, HostStrcpy, Ansi_asin, Ansi_acos};

}  // namespace lumeshade::host
