// AEGP types and constants, and the current AEGP suites the module uses
// (Memory, PF Interface, Light). The older suite versions follow at the end,
// from AE_GeneralPlugOld.h, which is read only from here.
#ifndef LUMESHADE_SDK_AE_GENERALPLUG_H
#define LUMESHADE_SDK_AE_GENERALPLUG_H

#include "A.h"
#include "AE_Effect.h"
#include "SPBasic.h"

#pragma pack(push, 8)

#ifdef __cplusplus
extern "C" {
#endif

// ---- opaque handles and ids --------------------------------------------------------

typedef A_long AEGP_PluginID;
typedef struct _AEGP_GlobalRefcon* AEGP_GlobalRefcon;
typedef struct _AEGP_Project** AEGP_ProjectH;
typedef struct _AEGP_Item** AEGP_ItemH;
typedef struct _AEGP_Comp** AEGP_CompH;
typedef struct _AEGP_Layer** AEGP_LayerH;
typedef struct _AEGP_Effect** AEGP_EffectRefH;
typedef struct _AEGP_Mask** AEGP_MaskRefH;
typedef struct _AEGPp_Stream** AEGP_StreamRefH;
typedef struct _AEGP_MaskOutline** AEGP_MaskOutlineValH;
typedef struct _AEGP_TextDocument** AEGP_TextDocumentH;
typedef struct _AEGP_MarkerVal* AEGP_MarkerValP;

typedef A_long AEGP_LayerIDVal;
#define AEGP_LayerIDVal_NONE 0
typedef A_long AEGP_MaskIDVal;
#define AEGP_MaskIDVal_NONE 0
typedef A_long AEGP_Index;
#define AEGP_Index_NONE ((A_long)0x80000000)
#define AEGP_Index_START ((A_long)0)
#define AEGP_Index_END ((A_long)-1)
typedef A_long AEGP_SubLayerIndex;
#define AEGP_SubLayer_ALL ((A_long)-1)

// ---- name sizes (terminating zero included) ----------------------------------------

#define AEGP_MAX_PATH_SIZE 260
#define AEGP_MAX_ABOUT_STRING_SIZE 256
#define AEGP_MAX_RQITEM_COMMENT_SIZE 256
#define AEGP_MAX_TYPE_NAME_SIZE 32
#define AEGP_MAX_ITEM_NAME_SIZE 32
#define AEGP_MAX_LAYER_NAME_SIZE 32
#define AEGP_MAX_MASK_NAME_SIZE 32
#define AEGP_MAX_EFFECT_NAME_SIZE (PF_MAX_EFFECT_NAME_LEN + 17)
#define AEGP_MAX_EFFECT_MATCH_NAME_SIZE (PF_MAX_EFFECT_NAME_LEN + 17)
#define AEGP_MAX_EFFECT_CATEGORY_NAME_SIZE (PF_MAX_EFFECT_CATEGORY_NAME_LEN + 1)
#define AEGP_MAX_STREAM_NAME_SIZE (PF_MAX_EFFECT_PARAM_NAME_LEN + 1)
#define AEGP_MAX_STREAM_UNITS_SIZE (PF_MAX_EFFECT_PARAM_NAME_LEN + 1)
#define AEGP_MAX_STREAM_MATCH_NAME_SIZE 40
#define AEGP_MAX_PROJ_NAME_SIZE 48
#define AEGP_MAX_PLUGIN_NAME_SIZE 32
#define AEGP_MAX_MARKER_NAME_SIZE 64
#define AEGP_MAX_MARKER_URL_SIZE 1024
#define AEGP_MAX_MARKER_TARGET_SIZE 128
#define AEGP_MAX_MARKER_CHAPTER_SIZE 128

// ---- enumerations --------------------------------------------------------------------

typedef A_u_long AEGP_LightType;
enum {
    AEGP_LightType_NONE = -1,
    AEGP_LightType_PARALLEL = 0,
    AEGP_LightType_SPOT,
    AEGP_LightType_POINT,
    AEGP_LightType_AMBIENT,
    AEGP_LightType_NUM_TYPES
};

typedef A_u_long AEGP_LightFalloffType;
enum {
    AEGP_LightFalloff_NONE = 0,
    AEGP_LightFalloff_SMOOTH,
    AEGP_LightFalloff_INVERSE_SQUARE_CLAMPED
};

typedef A_u_long AEGP_CameraType;
enum {
    AEGP_CameraType_NONE = -1,
    AEGP_CameraType_PERSPECTIVE,
    AEGP_CameraType_ORTHOGRAPHIC,
    AEGP_CameraType_NUM_TYPES
};

typedef A_long AEGP_ObjectType;
enum {
    AEGP_ObjectType_NONE = -1,
    AEGP_ObjectType_AV,
    AEGP_ObjectType_LIGHT,
    AEGP_ObjectType_CAMERA,
    AEGP_ObjectType_TEXT,
    AEGP_ObjectType_VECTOR,
    AEGP_ObjectType_NUM_TYPES
};

typedef A_short AEGP_LTimeMode;
enum { AEGP_LTimeMode_LayerTime = 0, AEGP_LTimeMode_CompTime = 1 };

typedef A_short AEGP_LayerQuality;
enum {
    AEGP_LayerQual_NONE = -1,
    AEGP_LayerQual_WIREFRAME,
    AEGP_LayerQual_DRAFT,
    AEGP_LayerQual_BEST
};

typedef A_long AEGP_LayerFlags;
enum {
    AEGP_LayerFlag_NONE = 0x00000000,
    AEGP_LayerFlag_VIDEO_ACTIVE = 0x00000001,
    AEGP_LayerFlag_AUDIO_ACTIVE = 0x00000002,
    AEGP_LayerFlag_EFFECTS_ACTIVE = 0x00000004,
    AEGP_LayerFlag_MOTION_BLUR = 0x00000008,
    AEGP_LayerFlag_FRAME_BLENDING = 0x00000010,
    AEGP_LayerFlag_LOCKED = 0x00000020,
    AEGP_LayerFlag_SHY = 0x00000040,
    AEGP_LayerFlag_COLLAPSE = 0x00000080,
    AEGP_LayerFlag_AUTO_ORIENT_ROTATION = 0x00000100,
    AEGP_LayerFlag_ADJUSTMENT_LAYER = 0x00000200,
    AEGP_LayerFlag_TIME_REMAPPING = 0x00000400,
    AEGP_LayerFlag_LAYER_IS_3D = 0x00000800,
    AEGP_LayerFlag_LOOK_AT_CAMERA = 0x00001000,
    AEGP_LayerFlag_LOOK_AT_POI = 0x00002000,
    AEGP_LayerFlag_SOLO = 0x00004000,
    AEGP_LayerFlag_MARKERS_LOCKED = 0x00008000,
    AEGP_LayerFlag_NULL_LAYER = 0x00010000,
    AEGP_LayerFlag_HIDE_LOCKED_MASKS = 0x00020000,
    AEGP_LayerFlag_GUIDE_LAYER = 0x00040000,
    AEGP_LayerFlag_ADVANCED_FRAME_BLENDING = 0x00080000,
    AEGP_LayerFlag_SUBLAYERS_RENDER_SEPARATELY = 0x00100000,
    AEGP_LayerFlag_ENVIRONMENT_LAYER = 0x00200000
};

typedef A_long AEGP_LayerStream;
enum {
    AEGP_LayerStream_NONE = -1,
    AEGP_LayerStream_ANCHORPOINT = 0,
    AEGP_LayerStream_POSITION,
    AEGP_LayerStream_SCALE,
    AEGP_LayerStream_ROTATION,
    AEGP_LayerStream_ROTATE_Z = AEGP_LayerStream_ROTATION,
    AEGP_LayerStream_OPACITY,
    AEGP_LayerStream_AUDIO,
    AEGP_LayerStream_MARKER,
    AEGP_LayerStream_TIME_REMAP,
    AEGP_LayerStream_ROTATE_X,
    AEGP_LayerStream_ROTATE_Y,
    AEGP_LayerStream_ORIENTATION,
    AEGP_LayerStream_ZOOM,
    AEGP_LayerStream_DEPTH_OF_FIELD,
    AEGP_LayerStream_FOCUS_DISTANCE,
    AEGP_LayerStream_APERTURE,
    AEGP_LayerStream_BLUR_LEVEL,
    AEGP_LayerStream_INTENSITY,
    AEGP_LayerStream_COLOR,
    AEGP_LayerStream_CONE_ANGLE,
    AEGP_LayerStream_CONE_FEATHER,
    AEGP_LayerStream_SHADOW_DARKNESS,
    AEGP_LayerStream_SHADOW_DIFFUSION,
    AEGP_LayerStream_ACCEPTS_SHADOWS,
    AEGP_LayerStream_ACCEPTS_LIGHTS,
    AEGP_LayerStream_AMBIENT_COEFF,
    AEGP_LayerStream_DIFFUSE_COEFF,
    AEGP_LayerStream_SPECULAR_INTENSITY,
    AEGP_LayerStream_SPECULAR_SHININESS,
    AEGP_LayerStream_CASTS_SHADOWS,
    AEGP_LayerStream_LIGHT_TRANSMISSION,
    AEGP_LayerStream_METAL,
    AEGP_LayerStream_SOURCE_TEXT,
    AEGP_LayerStream_IRIS_SHAPE,
    AEGP_LayerStream_IRIS_ROTATION,
    AEGP_LayerStream_IRIS_ROUNDNESS,
    AEGP_LayerStream_IRIS_ASPECT_RATIO,
    AEGP_LayerStream_IRIS_DIFFRACTION_FRINGE,
    AEGP_LayerStream_IRIS_HIGHLIGHT_GAIN,
    AEGP_LayerStream_IRIS_HIGHLIGHT_THRESHOLD,
    AEGP_LayerStream_IRIS_HIGHLIGHT_SATURATION,
    AEGP_LayerStream_LIGHT_FALLOFF_TYPE,
    AEGP_LayerStream_LIGHT_FALLOFF_START,
    AEGP_LayerStream_LIGHT_FALLOFF_DISTANCE,
    AEGP_LayerStream_REFLECTION_INTENSITY,
    AEGP_LayerStream_REFLECTION_SHARPNESS,
    AEGP_LayerStream_REFLECTION_ROLLOFF,
    AEGP_LayerStream_TRANSPARENCY_COEFF,
    AEGP_LayerStream_TRANSPARENCY_ROLLOFF,
    AEGP_LayerStream_INDEX_OF_REFRACTION,
    AEGP_LayerStream_EXTRUSION_BEVEL_STYLE,
    AEGP_LayerStream_EXTRUSION_BEVEL_DIRECTION,
    AEGP_LayerStream_EXTRUSION_BEVEL_DEPTH,
    AEGP_LayerStream_EXTRUSION_HOLE_BEVEL_DEPTH,
    AEGP_LayerStream_EXTRUSION_DEPTH,
    AEGP_LayerStream_PLANE_CURVATURE,
    AEGP_LayerStream_PLANE_SUBDIVISION,
    AEGP_LayerStream_NUMTYPES,
    AEGP_LayerStream_BEGIN = AEGP_LayerStream_ANCHORPOINT,
    AEGP_LayerStream_END = AEGP_LayerStream_NUMTYPES
};

typedef A_long AEGP_StreamType;
enum {
    AEGP_StreamType_NO_DATA = 0,
    AEGP_StreamType_ThreeD_SPATIAL,
    AEGP_StreamType_ThreeD,
    AEGP_StreamType_TwoD_SPATIAL,
    AEGP_StreamType_TwoD,
    AEGP_StreamType_OneD,
    AEGP_StreamType_COLOR,
    AEGP_StreamType_ARB,
    AEGP_StreamType_MARKER,
    AEGP_StreamType_LAYER_ID,
    AEGP_StreamType_MASK_ID,
    AEGP_StreamType_MASK,
    AEGP_StreamType_TEXT_DOCUMENT
};

typedef A_long AEGP_StreamFlags;
enum {
    AEGP_StreamFlag_NONE = 0,
    AEGP_StreamFlag_HAS_MIN = 0x01,
    AEGP_StreamFlag_HAS_MAX = 0x02,
    AEGP_StreamFlag_IS_SPATIAL = 0x04
};

typedef A_u_long AEGP_DynStreamFlags;
enum {
    AEGP_DynStreamFlag_ACTIVE_EYEBALL = 1L << 0,
    AEGP_DynStreamFlag_HIDDEN = 1L << 1,
    AEGP_DynStreamFlag_DISABLED = 1L << 4,
    AEGP_DynStreamFlag_ELIDED = 1L << 5,
    AEGP_DynStreamFlag_SHOWN_WHEN_EMPTY = 1L << 10,
    AEGP_DynStreamFlag_SKIP_REVEAL_WHEN_UNHIDDEN = 1L << 16
};

typedef A_long AEGP_StreamGroupingType;
enum {
    AEGP_StreamGroupingType_NONE = -1,
    AEGP_StreamGroupingType_LEAF,
    AEGP_StreamGroupingType_NAMED_GROUP,
    AEGP_StreamGroupingType_INDEXED_GROUP
};

typedef A_long AEGP_MaskStream;
enum {
    AEGP_MaskStream_OUTLINE = 400,
    AEGP_MaskStream_OPACITY,
    AEGP_MaskStream_FEATHER,
    AEGP_MaskStream_EXPANSION,
    AEGP_MaskStream_BEGIN = AEGP_MaskStream_OUTLINE,
    AEGP_MaskStream_END = AEGP_MaskStream_EXPANSION + 1
};

typedef A_long AEGP_KeyInterpolationMask;
enum {
    AEGP_KeyInterpMask_NONE = 0x00,
    AEGP_KeyInterpMask_LINEAR = 0x01,
    AEGP_KeyInterpMask_BEZIER = 0x02,
    AEGP_KeyInterpMask_HOLD = 0x04,
    AEGP_KeyInterpMask_CUSTOM = 0x08,
    AEGP_KeyInterpMask_ANY = 0xFFFF
};

typedef A_long AEGP_TransferFlags;
enum { AEGP_TransferFlag_PRESERVE_ALPHA = 0x1, AEGP_TransferFlag_RANDOMIZE_DISSOLVE = 0x2 };

typedef A_long AEGP_TrackMatte;
enum {
    AEGP_TrackMatte_NO_TRACK_MATTE,
    AEGP_TrackMatte_ALPHA,
    AEGP_TrackMatte_NOT_ALPHA,
    AEGP_TrackMatte_LUMA,
    AEGP_TrackMatte_NOT_LUMA
};

typedef struct {
    A_long mode;  // a PF_TransferMode
    AEGP_TransferFlags flags;
    AEGP_TrackMatte track_matte;
} AEGP_LayerTransferMode;

// ---- stream values ---------------------------------------------------------------------

typedef A_FpLong AEGP_OneDVal;
typedef struct {
    A_FpLong x, y;
} AEGP_TwoDVal;
typedef struct {
    A_FpLong x, y, z;
} AEGP_ThreeDVal;
typedef A_FpLong AEGP_FourDVal[4];
typedef struct {
    A_FpLong alphaF, redF, greenF, blueF;
} AEGP_ColorVal;
typedef A_Handle AEGP_ArbBlockVal;

typedef union {
    AEGP_FourDVal four_d;
    AEGP_ThreeDVal three_d;
    AEGP_TwoDVal two_d;
    AEGP_OneDVal one_d;
    AEGP_ColorVal color;
    AEGP_ArbBlockVal arbH;
    AEGP_MarkerValP markerP;
    AEGP_LayerIDVal layer_id;
    AEGP_MaskIDVal mask_id;
    AEGP_MaskOutlineValH mask;
    AEGP_TextDocumentH text_documentH;
} AEGP_StreamVal2;

typedef struct {
    AEGP_StreamRefH streamH;
    AEGP_StreamVal2 val;
} AEGP_StreamValue2;

typedef struct {
    A_long reservedAL[12];
} AEGP_ErrReportState;

// ---- "AEGP Memory Suite" ------------------------------------------------------------------

#define kAEGPMemorySuite "AEGP Memory Suite"
#define kAEGPMemorySuiteVersion1 1

typedef A_u_long AEGP_MemSize;
typedef A_long AEGP_MemFlag;
enum { AEGP_MemFlag_NONE = 0x0, AEGP_MemFlag_CLEAR = 0x01, AEGP_MemFlag_QUIET = 0x02 };

typedef struct AEGP_MemorySuite1 {
    SPAPI A_Err (*AEGP_NewMemHandle)(AEGP_PluginID plugin_id, const A_char* whatZ,
                                     AEGP_MemSize size, AEGP_MemFlag flags,
                                     AEGP_MemHandle* memPH);
    SPAPI A_Err (*AEGP_FreeMemHandle)(AEGP_MemHandle memH);
    SPAPI A_Err (*AEGP_LockMemHandle)(AEGP_MemHandle memH, void** ptr_to_ptr);
    SPAPI A_Err (*AEGP_UnlockMemHandle)(AEGP_MemHandle memH);
    SPAPI A_Err (*AEGP_GetMemHandleSize)(AEGP_MemHandle memH, AEGP_MemSize* sizeP);
    SPAPI A_Err (*AEGP_ResizeMemHandle)(const A_char* whatZ, AEGP_MemSize new_size,
                                        AEGP_MemHandle memH);
    SPAPI A_Err (*AEGP_SetMemReportingOn)(A_Boolean turn_OnB);
    SPAPI A_Err (*AEGP_GetMemStats)(AEGP_PluginID plugin_id, A_long* countPL, A_long* sizePL);
} AEGP_MemorySuite1;

// ---- "AEGP PF Interface Suite" ----------------------------------------------------------

#define kAEGPPFInterfaceSuite "AEGP PF Interface Suite"
#define kAEGPPFInterfaceSuiteVersion1 1

typedef struct AEGP_PFInterfaceSuite1 {
    SPAPI A_Err (*AEGP_GetEffectLayer)(PF_ProgPtr effect_pp_ref, AEGP_LayerH* layerPH);
    SPAPI A_Err (*AEGP_GetNewEffectForEffect)(AEGP_PluginID aegp_plugin_id,
                                              PF_ProgPtr effect_pp_ref,
                                              AEGP_EffectRefH* effect_refPH);
    SPAPI A_Err (*AEGP_ConvertEffectToCompTime)(PF_ProgPtr effect_pp_ref, A_long what_timeL,
                                                A_u_long time_scaleLu, A_Time* comp_timePT);
    SPAPI A_Err (*AEGP_GetEffectCamera)(PF_ProgPtr effect_pp_ref, const A_Time* comp_timePT,
                                        AEGP_LayerH* camera_layerPH);
    SPAPI A_Err (*AEGP_GetEffectCameraMatrix)(PF_ProgPtr effect_pp_ref,
                                              const A_Time* comp_timePT,
                                              A_Matrix4* camera_matrixP,
                                              A_FpLong* dist_to_image_planePF,
                                              A_short* image_plane_widthPL,
                                              A_short* image_plane_heightPL);
} AEGP_PFInterfaceSuite1;

// ---- "AEGP Light Suite" ---------------------------------------------------------------------

#define kAEGPLightSuite "AEGP Light Suite"
#define kAEGPLightSuiteVersion2 2

typedef struct AEGP_LightSuite2 {
    SPAPI A_Err (*AEGP_GetLightType)(AEGP_LayerH light_layerH, AEGP_LightType* light_typeP);
    SPAPI A_Err (*AEGP_SetLightType)(AEGP_LayerH light_layerH, AEGP_LightType light_type);
} AEGP_LightSuite2;

#define kAEGPUtilitySuite "AEGP Utility Suite"
#define kAEGPLayerSuite "AEGP Layer Suite"
#define kAEGPStreamSuite "AEGP Stream Suite"
#define kAEGPDynamicStreamSuite "AEGP Dynamic Stream Suite"
#define kAEGPEffectSuite "AEGP Effect Suite"
#define kAEGPCompSuite "AEGP Comp Suite"

#ifdef __cplusplus
}
#endif

#pragma pack(pop)

// Last, as the vendor's header does: the older suite tables (and the stream
// value union they use) build on everything above.
#include "AE_GeneralPlugOld.h"

#endif
