// Effect API version the header copy describes.
#ifndef LUMESHADE_SDK_AE_EFFECTVERS_H
#define LUMESHADE_SDK_AE_EFFECTVERS_H

#define PF_PLUG_IN_VERSION 13
#define PF_PLUG_IN_SUBVERS 7
#define AEFX_API_VERSION 8
#define AEFX_API_SUBVERS ' '
#define AEFXp_CODE_VERSION 0

#endif
