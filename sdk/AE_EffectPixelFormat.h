// Pixel format codes of the host's worlds.
#ifndef LUMESHADE_SDK_AE_EFFECTPIXELFORMAT_H
#define LUMESHADE_SDK_AE_EFFECTPIXELFORMAT_H

#include "A.h"

#define MAKE_PIXEL_FORMAT_FOURCC(C0, C1, C2, C3)                                \
    ((A_long)((A_u_long)(C0) | ((A_u_long)(C1) << 8) | ((A_u_long)(C2) << 16) | \
              ((A_u_long)(C3) << 24)))

typedef A_long PF_PixelFormat;

enum {
    PF_PixelFormat_ARGB32 = 0x62677261,   // 'a','r','g','b': 8 bits per channel
    PF_PixelFormat_ARGB64 = 0x36316561,   // 'a','e','1','6': 16 bits, 0..32768
    PF_PixelFormat_ARGB128 = 0x32336561,  // 'a','e','3','2': 32-bit float
    PF_PixelFormat_BGRA32 = 0x61726762,
    PF_PixelFormat_VUYA32 = 0x61797576,
    PF_PixelFormat_NTSCDV25 = 0x326E7664,
    PF_PixelFormat_PALDV25 = 0x32707664,
    PF_PixelFormat_INVALID = 0x66646162,
    PF_PixelFormat_FORCE_LONG_INT = (A_long)0xFFFFFFFF
};

#endif
