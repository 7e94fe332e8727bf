// Basic scalar types and small records of the host's effect interface.
// Declared to match the vendor's x86-64 Windows layout, so the module builds
// unchanged against either this copy or the vendor's own headers.
#ifndef LUMESHADE_SDK_A_H
#define LUMESHADE_SDK_A_H

#include <stddef.h>

// Quoted, as the vendor's A.h has it: a Windows build finds the SDK's own
// stdint.h (sdk/Win) before the compiler's.
#include "stdint.h"

#pragma pack(push, 8)

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t A_long;
typedef uint32_t A_u_long;
typedef char A_char;
typedef int16_t A_short;
typedef uint16_t A_u_short;
typedef uint8_t A_u_char;
typedef uint8_t A_Boolean;
typedef intptr_t A_intptr_t;
typedef uint64_t A_u_longlong;
typedef double A_FpLong;
typedef float A_FpShort;
typedef A_long A_Err;
typedef void* A_Handle;
typedef A_long A_Fixed;
typedef A_u_long A_UFixed;
typedef A_u_longlong A_HandleSize;
typedef A_u_short A_UTF16Char;
typedef A_long A_LegacyEnumType;  // the Windows choice

typedef struct _Up_OpaqueMem** AEGP_MemHandle;

typedef struct {
    A_long value;
    A_u_long scale;
} A_Time;

typedef struct {
    A_long num;
    A_u_long den;
} A_Ratio;

typedef struct {
    A_FpLong x, y;
} A_FloatPoint;

typedef struct {
    A_FpLong x, y, z;
} A_FloatPoint3;

typedef struct {
    A_FpLong left, top, right, bottom;
} A_FloatRect;

typedef struct {
    A_FpLong mat[3][3];
} A_Matrix3;

typedef struct {
    A_FpLong mat[4][4];
} A_Matrix4;

typedef struct {
    A_short top, left, bottom, right;
} A_LegacyRect;

typedef struct {
    A_long left, top, right, bottom;
} A_LRect;

typedef A_LRect A_Rect;

typedef struct {
    A_long x, y;
} A_LPoint;

typedef struct {
    A_FpLong radius, angle;
} A_FloatPolar;

typedef struct {
    A_FpLong alpha, red, green, blue;
} A_Color;

typedef struct {
    A_short majorS, minorS;
} A_Version;

enum {
    A_Err_NONE = 0,
    A_Err_GENERIC = 1,
    A_Err_STRUCT = 2,
    A_Err_PARAMETER = 3,
    A_Err_ALLOC = 4,
    A_Err_MISSING_SUITE = 13
};

#ifdef __cplusplus
}
#endif

#define A_THROW(ERR) throw((A_long)(ERR))

#pragma pack(pop)

#endif
