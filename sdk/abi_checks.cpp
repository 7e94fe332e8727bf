// Compile-time checks that the host records have the vendor's x86-64 layout.
// This file is built with whichever header set the module uses (ours or the
// vendor's), so a slip in either shows up as a build failure, not as a crash
// inside the host.
#include <cstddef>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_EffectCBSuites.h"
#include "AE_EffectPixelFormat.h"
#include "AE_GeneralPlug.h"
#include "SPBasic.h"

static_assert(sizeof(void*) == 8, "the host interface is declared for 64-bit targets");

#define CHECK_SIZE(T, N) static_assert(sizeof(T) == (N), "size of " #T)
#define CHECK_OFFSET(T, F, N) static_assert(offsetof(T, F) == (N), "offset of " #T "::" #F)

// Scalars whose width the records depend on.
CHECK_SIZE(A_long, 4);
CHECK_SIZE(A_short, 2);
CHECK_SIZE(A_Boolean, 1);
CHECK_SIZE(PF_Boolean, 1);
CHECK_SIZE(A_u_longlong, 8);
CHECK_SIZE(A_HandleSize, 8);
CHECK_SIZE(PF_Handle, 8);
CHECK_SIZE(AEGP_LTimeMode, 2);
CHECK_SIZE(AEGP_DynStreamFlags, 4);
CHECK_SIZE(SPErr, 4);

// A.h records.
CHECK_SIZE(A_Time, 8);
CHECK_SIZE(A_Ratio, 8);
CHECK_SIZE(A_FloatPoint3, 24);
CHECK_SIZE(A_FloatRect, 32);
CHECK_SIZE(A_Matrix4, 128);
CHECK_SIZE(A_LRect, 16);
CHECK_SIZE(A_Color, 32);
CHECK_OFFSET(A_Color, blue, 24);

// Pixels.
CHECK_SIZE(PF_Pixel, 4);
CHECK_SIZE(PF_Pixel16, 8);
CHECK_SIZE(PF_PixelFloat, 16);
CHECK_OFFSET(PF_Pixel, alpha, 0);
CHECK_OFFSET(PF_Pixel, blue, 3);
CHECK_OFFSET(PF_PixelFloat, red, 4);

// Sound records inside in_data / out_data.
CHECK_SIZE(PF_SoundFormatInfo, 16);
CHECK_OFFSET(PF_SoundFormatInfo, sample_size, 12);
CHECK_SIZE(PF_SoundWorld, 32);
CHECK_OFFSET(PF_SoundWorld, dataP, 24);

// Worlds.
CHECK_SIZE(PF_LayerDef, 120);
CHECK_OFFSET(PF_LayerDef, world_flags, 16);
CHECK_OFFSET(PF_LayerDef, data, 24);
CHECK_OFFSET(PF_LayerDef, rowbytes, 32);
CHECK_OFFSET(PF_LayerDef, width, 36);
CHECK_OFFSET(PF_LayerDef, height, 40);
CHECK_OFFSET(PF_LayerDef, extent_hint, 44);
CHECK_OFFSET(PF_LayerDef, platform_ref, 64);
CHECK_OFFSET(PF_LayerDef, reserved_long1, 72);
CHECK_OFFSET(PF_LayerDef, reserved_long4, 80);
CHECK_OFFSET(PF_LayerDef, pix_aspect_ratio, 88);
CHECK_OFFSET(PF_LayerDef, reserved_long2, 96);
CHECK_OFFSET(PF_LayerDef, origin_x, 104);
CHECK_OFFSET(PF_LayerDef, origin_y, 108);
CHECK_OFFSET(PF_LayerDef, reserved_long3, 112);
CHECK_OFFSET(PF_LayerDef, dephault, 116);

// in_data.
CHECK_SIZE(PF_InteractCallbacks, 176);
CHECK_OFFSET(PF_InteractCallbacks, checkin_param, 8);
CHECK_OFFSET(PF_InteractCallbacks, add_param, 16);
CHECK_OFFSET(PF_InteractCallbacks, abort, 24);
CHECK_OFFSET(PF_InteractCallbacks, progress, 32);
CHECK_OFFSET(PF_InteractCallbacks, get_audio_data, 64);
CHECK_OFFSET(PF_InteractCallbacks, reserved_str, 72);
CHECK_OFFSET(PF_InteractCallbacks, reserved, 96);
CHECK_SIZE(PF_InData, 408);
CHECK_OFFSET(PF_InData, utils, 176);
CHECK_OFFSET(PF_InData, effect_ref, 184);
CHECK_OFFSET(PF_InData, quality, 192);
CHECK_OFFSET(PF_InData, version, 196);
CHECK_OFFSET(PF_InData, num_params, 208);
CHECK_OFFSET(PF_InData, current_time, 224);
CHECK_OFFSET(PF_InData, time_step, 228);
CHECK_OFFSET(PF_InData, time_scale, 240);
CHECK_OFFSET(PF_InData, shutter_angle, 248);
CHECK_OFFSET(PF_InData, width, 252);
CHECK_OFFSET(PF_InData, height, 256);
CHECK_OFFSET(PF_InData, extent_hint, 260);
CHECK_OFFSET(PF_InData, output_origin_x, 276);
CHECK_OFFSET(PF_InData, downsample_x, 284);
CHECK_OFFSET(PF_InData, downsample_y, 292);
CHECK_OFFSET(PF_InData, pixel_aspect_ratio, 300);
CHECK_OFFSET(PF_InData, in_flags, 308);
CHECK_OFFSET(PF_InData, global_data, 312);
CHECK_OFFSET(PF_InData, sequence_data, 320);
CHECK_OFFSET(PF_InData, frame_data, 328);
CHECK_OFFSET(PF_InData, start_sampL, 336);
CHECK_OFFSET(PF_InData, total_sampL, 344);
CHECK_OFFSET(PF_InData, src_snd, 352);
CHECK_OFFSET(PF_InData, pica_basicP, 384);
CHECK_OFFSET(PF_InData, pre_effect_source_origin_x, 392);
CHECK_OFFSET(PF_InData, shutter_phase, 400);

// out_data.
CHECK_SIZE(PF_OutData, 408);
CHECK_OFFSET(PF_OutData, name, 4);
CHECK_OFFSET(PF_OutData, global_data, 40);
CHECK_OFFSET(PF_OutData, num_params, 48);
CHECK_OFFSET(PF_OutData, sequence_data, 56);
CHECK_OFFSET(PF_OutData, flat_sdata_size, 64);
CHECK_OFFSET(PF_OutData, frame_data, 72);
CHECK_OFFSET(PF_OutData, width, 80);
CHECK_OFFSET(PF_OutData, origin, 88);
CHECK_OFFSET(PF_OutData, out_flags, 96);
CHECK_OFFSET(PF_OutData, return_msg, 100);
CHECK_OFFSET(PF_OutData, start_sampL, 356);
CHECK_OFFSET(PF_OutData, dest_snd, 368);
CHECK_OFFSET(PF_OutData, out_flags2, 400);

// Utility callbacks.
CHECK_SIZE(PF_ANSICallbacks, 160);
CHECK_OFFSET(PF_ANSICallbacks, sprintf, 120);
CHECK_OFFSET(PF_ANSICallbacks, strcpy, 128);
CHECK_OFFSET(PF_ANSICallbacks, ansi_procs, 152);
CHECK_SIZE(PF_ColorCallbacks, 64);
CHECK_SIZE(PF_UtilCallbacks, 552);
CHECK_OFFSET(PF_UtilCallbacks, area_sample, 16);
CHECK_OFFSET(PF_UtilCallbacks, get_batch_func_is_deprecated, 24);
CHECK_OFFSET(PF_UtilCallbacks, iterate, 88);
CHECK_OFFSET(PF_UtilCallbacks, host_new_handle, 160);
CHECK_OFFSET(PF_UtilCallbacks, host_dispose_handle, 184);
CHECK_OFFSET(PF_UtilCallbacks, app, 200);
CHECK_OFFSET(PF_UtilCallbacks, ansi, 208);
CHECK_OFFSET(PF_UtilCallbacks, colorCB, 368);
CHECK_OFFSET(PF_UtilCallbacks, get_platform_data, 432);
CHECK_OFFSET(PF_UtilCallbacks, host_get_handle_size, 440);
CHECK_OFFSET(PF_UtilCallbacks, iterate_generic, 456);
CHECK_OFFSET(PF_UtilCallbacks, host_resize_handle, 464);
CHECK_OFFSET(PF_UtilCallbacks, subpixel_sample16, 472);
CHECK_OFFSET(PF_UtilCallbacks, area_sample16, 480);
CHECK_OFFSET(PF_UtilCallbacks, iterate16, 504);
CHECK_OFFSET(PF_UtilCallbacks, get_pixel_data8, 528);
CHECK_OFFSET(PF_UtilCallbacks, get_pixel_data16, 536);
CHECK_OFFSET(PF_UtilCallbacks, reserved, 544);

// Sampling.
CHECK_SIZE(PF_CompositeMode, 12);
CHECK_OFFSET(PF_CompositeMode, opacitySu, 10);
CHECK_SIZE(PF_MaskWorld, 136);
CHECK_OFFSET(PF_MaskWorld, what_is_mask, 128);
CHECK_SIZE(PF_SampPB, 104);
CHECK_OFFSET(PF_SampPB, area, 8);
CHECK_OFFSET(PF_SampPB, src, 16);
CHECK_OFFSET(PF_SampPB, samp_behave, 24);
CHECK_OFFSET(PF_SampPB, allow_asynch, 28);
CHECK_OFFSET(PF_SampPB, motion_blur, 32);
CHECK_OFFSET(PF_SampPB, comp_mode, 36);
CHECK_OFFSET(PF_SampPB, mask0, 48);
CHECK_OFFSET(PF_SampPB, fcd_table, 64);
CHECK_OFFSET(PF_SampPB, reserved, 72);

// Parameters.
CHECK_SIZE(PF_SliderDef, 88);
CHECK_OFFSET(PF_SliderDef, valid_min, 68);
CHECK_OFFSET(PF_SliderDef, dephault, 84);
CHECK_SIZE(PF_FixedSliderDef, 92);
CHECK_OFFSET(PF_FixedSliderDef, dephault, 84);
CHECK_OFFSET(PF_FixedSliderDef, precision, 88);
CHECK_OFFSET(PF_FixedSliderDef, display_flags, 90);
CHECK_SIZE(PF_FloatSliderDef, 88);
CHECK_OFFSET(PF_FloatSliderDef, valid_min, 48);
CHECK_OFFSET(PF_FloatSliderDef, dephault, 64);
CHECK_OFFSET(PF_FloatSliderDef, fs_flags, 72);
CHECK_OFFSET(PF_FloatSliderDef, useExponent, 80);
CHECK_OFFSET(PF_FloatSliderDef, exponent, 84);
CHECK_SIZE(PF_AngleDef, 16);
CHECK_SIZE(PF_CheckBoxDef, 16);
CHECK_OFFSET(PF_CheckBoxDef, dephault, 4);
CHECK_OFFSET(PF_CheckBoxDef, u, 8);
CHECK_SIZE(PF_ColorDef, 8);
CHECK_SIZE(PF_PointDef, 20);
CHECK_OFFSET(PF_PointDef, restrict_bounds, 11);
CHECK_OFFSET(PF_PointDef, x_dephault, 12);
CHECK_SIZE(PF_Point3DDef, 64);
CHECK_SIZE(PF_PopupDef, 16);
CHECK_OFFSET(PF_PopupDef, num_choices, 4);
CHECK_OFFSET(PF_PopupDef, dephault, 6);
CHECK_OFFSET(PF_PopupDef, u, 8);
CHECK_SIZE(PF_ButtonDef, 16);
CHECK_SIZE(PF_ArbitraryDef, 32);
CHECK_SIZE(PF_PathDef, 12);
CHECK_SIZE(PF_ParamDefUnion, 120);
CHECK_SIZE(PF_ParamDef, 176);
CHECK_OFFSET(PF_ParamDef, ui_flags, 4);
CHECK_OFFSET(PF_ParamDef, ui_width, 8);
CHECK_OFFSET(PF_ParamDef, param_type, 12);
CHECK_OFFSET(PF_ParamDef, name, 16);
CHECK_OFFSET(PF_ParamDef, flags, 48);
CHECK_OFFSET(PF_ParamDef, u, 56);
static_assert(offsetof(PF_ParamDef, u) + offsetof(PF_LayerDef, dephault) == 172,
              "layer default inside a parameter record");

// Smart render.
CHECK_SIZE(PF_RenderRequest, 44);
CHECK_OFFSET(PF_RenderRequest, field, 16);
CHECK_OFFSET(PF_RenderRequest, preserve_rgb_of_zero_alpha, 24);
CHECK_OFFSET(PF_RenderRequest, reserved, 28);
CHECK_SIZE(PF_PreRenderInput, 48);
CHECK_OFFSET(PF_PreRenderInput, bitdepth, 44);
CHECK_SIZE(PF_PreRenderOutput, 56);
CHECK_OFFSET(PF_PreRenderOutput, solid, 32);
CHECK_OFFSET(PF_PreRenderOutput, flags, 34);
CHECK_OFFSET(PF_PreRenderOutput, pre_render_data, 40);
CHECK_OFFSET(PF_PreRenderOutput, delete_pre_render_data_func, 48);
CHECK_SIZE(PF_CheckoutResult, 76);
CHECK_OFFSET(PF_CheckoutResult, par, 32);
CHECK_OFFSET(PF_CheckoutResult, ref_width, 44);
CHECK_OFFSET(PF_CheckoutResult, reserved, 52);
CHECK_SIZE(PF_PreRenderCallbacks, 8);
CHECK_SIZE(PF_PreRenderExtra, 24);
CHECK_SIZE(PF_SmartRenderInput, 56);
CHECK_OFFSET(PF_SmartRenderInput, pre_render_data, 48);
CHECK_SIZE(PF_SmartRenderCallbacks, 24);
CHECK_SIZE(PF_SmartRenderExtra, 16);
CHECK_SIZE(PF_UserChangedParamExtra, 4);
CHECK_SIZE(PF_ExtDependenciesExtra, 16);

// Suites.
CHECK_SIZE(SPBasicSuite, 56);
CHECK_SIZE(PF_ANSICallbacksSuite1, 152);
CHECK_SIZE(PF_HandleSuite1, 48);
CHECK_SIZE(PF_WorldSuite2, 24);
CHECK_SIZE(PF_Iterate8Suite1, 40);
CHECK_SIZE(PF_Iterate16Suite1, 24);
CHECK_SIZE(PF_IterateFloatSuite1, 24);
CHECK_SIZE(PF_SamplingFloatSuite1, 24);
CHECK_SIZE(AEGP_UtilitySuite1, 72);
CHECK_OFFSET(AEGP_UtilitySuite1, AEGP_RegisterWithAEGP, 56);
CHECK_SIZE(AEGP_MemorySuite1, 64);
CHECK_OFFSET(AEGP_MemorySuite1, AEGP_SetMemReportingOn, 48);
CHECK_SIZE(AEGP_PFInterfaceSuite1, 40);
CHECK_SIZE(AEGP_LayerSuite1, 312);
CHECK_OFFSET(AEGP_LayerSuite1, AEGP_GetLayerParentComp, 5 * 8);
CHECK_OFFSET(AEGP_LayerSuite1, AEGP_GetLayerName, 6 * 8);
CHECK_OFFSET(AEGP_LayerSuite1, AEGP_IsLayerVideoReallyOn, 11 * 8);
CHECK_OFFSET(AEGP_LayerSuite1, AEGP_GetLayerObjectType, 27 * 8);
CHECK_OFFSET(AEGP_LayerSuite1, AEGP_IsVideoActive, 30 * 8);
CHECK_SIZE(AEGP_StreamSuite2, 176);
CHECK_OFFSET(AEGP_StreamSuite2, AEGP_GetNewEffectStreamByIndex, 5 * 8);
CHECK_OFFSET(AEGP_StreamSuite2, AEGP_DisposeStream, 7 * 8);
CHECK_OFFSET(AEGP_StreamSuite2, AEGP_GetLayerStreamValue, 16 * 8);
CHECK_SIZE(AEGP_LightSuite2, 16);
CHECK_SIZE(AEGP_DynamicStreamSuite2, 136);
CHECK_OFFSET(AEGP_DynamicStreamSuite2, AEGP_SetDynamicStreamFlag, 5 * 8);
CHECK_SIZE(AEGP_EffectSuite3, 136);
CHECK_OFFSET(AEGP_EffectSuite3, AEGP_DisposeEffect, 8 * 8);

// AEGP records.
CHECK_SIZE(AEGP_ColorVal, 32);
CHECK_OFFSET(AEGP_ColorVal, redF, 8);
CHECK_SIZE(AEGP_StreamVal, 32);
CHECK_SIZE(AEGP_StreamValue, 40);
CHECK_OFFSET(AEGP_StreamValue, val, 8);
CHECK_SIZE(AEGP_LayerTransferMode, 12);
CHECK_SIZE(AEGP_ErrReportState, 48);

// Constants whose values cross the interface.
static_assert(PF_PixelFormat_ARGB32 == 0x62677261, "8-bit pixel format code");
static_assert(PF_PixelFormat_ARGB64 == 0x36316561, "16-bit pixel format code");
static_assert(PF_PixelFormat_ARGB128 == 0x32336561, "float pixel format code");
static_assert(PF_Cmd_SMART_RENDER == 24 && PF_Cmd_USER_CHANGED_PARAM == 13, "command numbers");
static_assert(PF_Err_BAD_CALLBACK_PARAM == 516, "bad callback parameter code");
static_assert(PF_OutFlag_FORCE_RERENDER == 0x400000, "force rerender flag");
static_assert(AEGP_DynStreamFlag_HIDDEN == 2, "hidden stream flag");
static_assert(PF_Param_GROUP_END == 14 && PF_Param_POPUP == 7, "parameter types");
static_assert(AEGP_LayerStream_CONE_FEATHER == 19 && AEGP_LayerStream_COLOR == 17,
              "layer streams");
static_assert(kPFHandleSuiteVersion1 == 2 && kAEGPUtilitySuiteVersion1 == 3 &&
                  kAEGPLayerSuiteVersion1 == 5 && kAEGPStreamSuiteVersion2 == 7,
              "suite version numbers");
