// The basic suite: the host's entry point for acquiring every other suite.
#ifndef LUMESHADE_SDK_SPBASIC_H
#define LUMESHADE_SDK_SPBASIC_H

#include <stddef.h>

#include "SPTypes.h"

#pragma pack(push, 8)

#ifdef __cplusplus
extern "C" {
#endif

#define kSPBasicSuite "SP Basic Suite"
#define kSPBasicSuiteVersion 4

#define kSPNoError ((SPErr)0x00000000)
#define kSPUnimplementedError ((SPErr)0x21494D50)     /* '!IMP' */
#define kSPUserCanceledError ((SPErr)0x73746F70)      /* 'stop' */
#define kSPOperationInterrupted ((SPErr)0x696E7472)   /* 'intr' */
#define kSPLogicError ((SPErr)0x66626172)             /* 'fbar' */
#define kSPBadParameterError ((SPErr)0x5061726D)      /* 'Parm' */
#define kSPOutOfMemoryError ((SPErr)0xFFFFFF6C)       /* -108 */
#define kSPCantAcquirePluginError ((SPErr)0x21416371) /* '!Acq' */
#define kSPCantReleasePluginError ((SPErr)0x2152656C) /* '!Rel' */
#define kASNoError 0

typedef struct SPBasicSuite {
    SPAPI SPErr (*AcquireSuite)(const char* name, int version, const void** suite);
    SPAPI SPErr (*ReleaseSuite)(const char* name, int version);
    SPAPI SPBoolean (*IsEqual)(const char* token1, const char* token2);
    SPAPI SPErr (*AllocateBlock)(size_t size, void** block);
    SPAPI SPErr (*FreeBlock)(void* block);
    SPAPI SPErr (*ReallocateBlock)(void* block, size_t newSize, void** newblock);
    SPAPI SPErr (*Undefined)(void);
} SPBasicSuite;

#ifdef __cplusplus
}
#endif

#pragma pack(pop)

#endif
