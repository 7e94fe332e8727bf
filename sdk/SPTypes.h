// Scalar types of the host's plug-in suite architecture.
#ifndef LUMESHADE_SDK_SPTYPES_H
#define LUMESHADE_SDK_SPTYPES_H

#include <stddef.h>

#define SPAPI

typedef int SPErr;
typedef int SPBoolean;  // the Windows choice
typedef unsigned char SPUInt8;
typedef unsigned short SPUInt16;
typedef unsigned int SPUInt32;
typedef int SPInt32;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#endif
