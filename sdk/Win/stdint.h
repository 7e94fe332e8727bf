/* The host's Windows <stdint.h>, as its SDK ships it in its Windows header
 * folder. On the include path of a Windows build it is found before the
 * compiler's own header, by A.h's #include "stdint.h" and by every
 * <stdint.h> and <cstdint> alike, so the whole translation unit sees its
 * types:
 *   - the exact-width integers are the Windows compiler's own types: int32_t
 *     is long int, not int (so is A_long), and uint32_t is unsigned long int;
 *   - in C++ none of their limit macros (INT8_MIN ... INT32_MAX, UINT32_MAX)
 *     is defined; C++ code takes limits from std::numeric_limits.
 * The other names of <stdint.h> (least and fast widths, intmax_t,
 * intptr_t, ...), which the C++ runtime's <cstdint> needs, are the
 * compiler's: its header is read first with the exact-width names moved out
 * of the way. Only for a GCC-compatible cross compiler; a Visual Studio
 * build uses the vendor's own copy of this file. */
#ifndef LUMESHADE_SDK_WIN_STDINT_H
#define LUMESHADE_SDK_WIN_STDINT_H

#define int8_t lumeshade_toolchain_int8_t
#define int16_t lumeshade_toolchain_int16_t
#define int32_t lumeshade_toolchain_int32_t
#define int64_t lumeshade_toolchain_int64_t
#define uint8_t lumeshade_toolchain_uint8_t
#define uint16_t lumeshade_toolchain_uint16_t
#define uint32_t lumeshade_toolchain_uint32_t
#define uint64_t lumeshade_toolchain_uint64_t
#include_next <stdint.h>
#undef int8_t
#undef int16_t
#undef int32_t
#undef int64_t
#undef uint8_t
#undef uint16_t
#undef uint32_t
#undef uint64_t

typedef signed char int8_t;
typedef short int int16_t;
typedef long int int32_t;
typedef unsigned char uint8_t;
typedef unsigned short int uint16_t;
typedef unsigned long int uint32_t;
/* mingw's headers (read above) spell __int64 as a macro for long long, the
 * type Visual C++ gives it; a compiler without it gets long long too. */
#ifdef __int64
typedef __int64 int64_t;
typedef unsigned __int64 uint64_t;
#else
typedef long long int64_t;
typedef unsigned long long uint64_t;
#endif

#ifdef __cplusplus
#undef INT8_MIN
#undef INT8_MAX
#undef UINT8_MAX
#undef INT16_MIN
#undef INT16_MAX
#undef UINT16_MAX
#undef INT32_MIN
#undef INT32_MAX
#undef UINT32_MAX
#undef INT64_MIN
#undef INT64_MAX
#undef UINT64_MAX
#endif

#endif
