// Older AEGP suite versions. The version number the module acquires selects
// the function table: "AEGP Utility Suite" 3 is AEGP_UtilitySuite1, "AEGP
// Layer Suite" 5 is AEGP_LayerSuite1, "AEGP Stream Suite" 7 is
// AEGP_StreamSuite2.
//
// Not a header of its own: AE_GeneralPlug.h reads it at its end, and like
// the vendor's copy it has no include guard. Code includes AE_GeneralPlug.h
// only; including this file as well would declare everything in it twice,
// which fails to compile here as it does against the vendor's headers.

#pragma pack(push, 8)

#ifdef __cplusplus
extern "C" {
#endif

// ---- stream values of the older stream suites -------------------------------------------

typedef struct {
    A_char nameAC[AEGP_MAX_MARKER_NAME_SIZE];
    A_char urlAC[AEGP_MAX_MARKER_URL_SIZE];
    A_char targetAC[AEGP_MAX_MARKER_TARGET_SIZE];
    A_char chapterAC[AEGP_MAX_MARKER_CHAPTER_SIZE];
} AEGP_MarkerVal;

typedef AEGP_MarkerVal** AEGP_MarkerValH;

typedef union {
    AEGP_FourDVal four_d;
    AEGP_ThreeDVal three_d;
    AEGP_TwoDVal two_d;
    AEGP_OneDVal one_d;
    AEGP_ColorVal color;
    AEGP_ArbBlockVal arbH;
    AEGP_MarkerValH markerH;
    AEGP_LayerIDVal layer_id;
    AEGP_MaskIDVal mask_id;
    AEGP_MaskOutlineValH mask;
    AEGP_TextDocumentH text_documentH;
} AEGP_StreamVal;

typedef struct {
    AEGP_StreamRefH streamH;
    AEGP_StreamVal val;
} AEGP_StreamValue;

// ---- "AEGP Utility Suite" 3 ---------------------------------------------------------------

#define kAEGPUtilitySuiteVersion1 3

typedef struct AEGP_UtilitySuite1 {
    SPAPI A_Err (*AEGP_ReportInfo)(AEGP_PluginID aegp_plugin_id, const A_char* info_stringZ);
    SPAPI A_Err (*AEGP_GetDriverPluginInitFuncVersion)(A_short* major_versionPS,
                                                       A_short* minor_versionPS);
    SPAPI A_Err (*AEGP_GetDriverImplementationVersion)(A_short* major_versionPS,
                                                       A_short* minor_versionPS);
    SPAPI A_Err (*AEGP_StartQuietErrors)(AEGP_ErrReportState* err_stateP);
    SPAPI A_Err (*AEGP_EndQuietErrors)(A_Boolean report_quieted_errorsB,
                                       AEGP_ErrReportState* err_stateP);
    SPAPI A_Err (*AEGP_StartUndoGroup)(const A_char* undo_nameZ);
    SPAPI A_Err (*AEGP_EndUndoGroup)();
    SPAPI A_Err (*AEGP_RegisterWithAEGP)(AEGP_GlobalRefcon global_refcon,
                                         const A_char* plugin_nameZ,
                                         AEGP_PluginID* plugin_id);
    SPAPI A_Err (*AEGP_GetMainHWND)(void* main_hwnd);
} AEGP_UtilitySuite1;

// ---- "AEGP Layer Suite" 5 -----------------------------------------------------------------

#define kAEGPLayerSuiteVersion1 5

typedef struct AEGP_LayerSuite1 {
    SPAPI A_Err (*AEGP_GetCompNumLayers)(AEGP_CompH compH, A_long* num_layersPL);
    SPAPI A_Err (*AEGP_GetCompLayerByIndex)(AEGP_CompH compH, A_long layer_indexL,
                                            AEGP_LayerH* layerPH);
    SPAPI A_Err (*AEGP_GetActiveLayer)(AEGP_LayerH* layerPH);
    SPAPI A_Err (*AEGP_GetLayerIndex)(AEGP_LayerH layerH, A_long* layer_indexPL);
    SPAPI A_Err (*AEGP_GetLayerSourceItem)(AEGP_LayerH layerH, AEGP_ItemH* source_itemPH);
    SPAPI A_Err (*AEGP_GetLayerParentComp)(AEGP_LayerH layerH, AEGP_CompH* compPH);
    SPAPI A_Err (*AEGP_GetLayerName)(AEGP_LayerH layerH, A_char* layer_nameZ0,
                                     A_char* source_nameZ0);
    SPAPI A_Err (*AEGP_GetLayerQuality)(AEGP_LayerH layerH, AEGP_LayerQuality* qualityP);
    SPAPI A_Err (*AEGP_SetLayerQuality)(AEGP_LayerH layerH, AEGP_LayerQuality quality);
    SPAPI A_Err (*AEGP_GetLayerFlags)(AEGP_LayerH layerH, AEGP_LayerFlags* layer_flagsP);
    SPAPI A_Err (*AEGP_SetLayerFlag)(AEGP_LayerH layerH, AEGP_LayerFlags single_flag,
                                     A_Boolean valueB);
    SPAPI A_Err (*AEGP_IsLayerVideoReallyOn)(AEGP_LayerH layerH, A_Boolean* onPB);
    SPAPI A_Err (*AEGP_IsLayerAudioReallyOn)(AEGP_LayerH layerH, A_Boolean* onPB);
    SPAPI A_Err (*AEGP_GetLayerCurrentTime)(AEGP_LayerH layerH, AEGP_LTimeMode time_mode,
                                            A_Time* curr_timePT);
    SPAPI A_Err (*AEGP_GetLayerInPoint)(AEGP_LayerH layerH, AEGP_LTimeMode time_mode,
                                        A_Time* in_pointPT);
    SPAPI A_Err (*AEGP_GetLayerDuration)(AEGP_LayerH layerH, AEGP_LTimeMode time_mode,
                                         A_Time* durationPT);
    SPAPI A_Err (*AEGP_SetLayerInPointAndDuration)(AEGP_LayerH layerH,
                                                   AEGP_LTimeMode time_mode,
                                                   const A_Time* in_pointPT,
                                                   const A_Time* durationPT);
    SPAPI A_Err (*AEGP_GetLayerOffset)(AEGP_LayerH layerH, A_Time* offsetPT);
    SPAPI A_Err (*AEGP_SetLayerOffset)(AEGP_LayerH layerH, const A_Time* offsetPT);
    SPAPI A_Err (*AEGP_GetLayerStretch)(AEGP_LayerH layerH, A_Ratio* stretchPRt);
    SPAPI A_Err (*AEGP_SetLayerStretch)(AEGP_LayerH layerH, const A_Ratio* stretchPRt);
    SPAPI A_Err (*AEGP_GetLayerTransferMode)(AEGP_LayerH layerH,
                                             AEGP_LayerTransferMode* transfer_modeP);
    SPAPI A_Err (*AEGP_SetLayerTransferMode)(AEGP_LayerH layerH,
                                             const AEGP_LayerTransferMode* transfer_modeP);
    SPAPI A_Err (*AEGP_IsAddLayerValid)(AEGP_ItemH item_to_addH, AEGP_CompH into_compH,
                                        A_Boolean* validPB);
    SPAPI A_Err (*AEGP_AddLayer)(AEGP_ItemH item_to_addH, AEGP_CompH into_compH,
                                 AEGP_LayerH* added_layerPH0);
    SPAPI A_Err (*AEGP_ReorderLayer)(AEGP_LayerH layerH, A_long layer_indexL);
    SPAPI A_Err (*AEGP_GetLayerMaskedBounds)(AEGP_LayerH layerH, AEGP_LTimeMode time_mode,
                                             const A_Time* timePT, A_FloatRect* boundsPR);
    SPAPI A_Err (*AEGP_GetLayerObjectType)(AEGP_LayerH layerH, AEGP_ObjectType* object_type);
    SPAPI A_Err (*AEGP_IsLayer3D)(AEGP_LayerH layerH, A_Boolean* is_3DPB);
    SPAPI A_Err (*AEGP_IsLayer2D)(AEGP_LayerH layerH, A_Boolean* is_2DPB);
    SPAPI A_Err (*AEGP_IsVideoActive)(AEGP_LayerH layerH, AEGP_LTimeMode time_mode,
                                      const A_Time* timePT, A_Boolean* is_activePB);
    SPAPI A_Err (*AEGP_IsLayerUsedAsTrackMatte)(AEGP_LayerH layerH,
                                                A_Boolean fill_must_be_activeB,
                                                A_Boolean* is_track_mattePB);
    SPAPI A_Err (*AEGP_DoesLayerHaveTrackMatte)(AEGP_LayerH layerH,
                                                A_Boolean* has_track_mattePB);
    SPAPI A_Err (*AEGP_ConvertCompToLayerTime)(AEGP_LayerH layerH, const A_Time* comp_timeP,
                                               A_Time* layer_timeP);
    SPAPI A_Err (*AEGP_GetLayerDancingRandValue)(AEGP_LayerH layerH,
                                                 const A_Time* comp_timePT,
                                                 A_long* rand_valuePL);
    SPAPI A_Err (*AEGP_GetLayerID)(AEGP_LayerH layerH, AEGP_LayerIDVal* id_valP);
    SPAPI A_Err (*AEGP_GetLayerToWorldXform)(AEGP_LayerH aegp_layerH,
                                             const A_Time* comp_timeP, A_Matrix4* tranform);
    SPAPI A_Err (*AEGP_GetLayerToWorldXformFromView)(AEGP_LayerH aegp_layerH,
                                                     const A_Time* view_timeP,
                                                     const A_Time* comp_timeP,
                                                     A_Matrix4* tranform);
    SPAPI A_Err (*AEGP_SetLayerName)(AEGP_LayerH aegp_layerH, const A_char* new_nameZ);
} AEGP_LayerSuite1;

// ---- "AEGP Stream Suite" 7 ----------------------------------------------------------------

#define kAEGPStreamSuiteVersion2 7

typedef struct AEGP_StreamSuite2 {
    SPAPI A_Err (*AEGP_IsStreamLegal)(AEGP_LayerH layerH, AEGP_LayerStream which_stream,
                                      A_Boolean* is_legalP);
    SPAPI A_Err (*AEGP_CanVaryOverTime)(AEGP_StreamRefH streamH, A_Boolean* can_varyPB);
    SPAPI A_Err (*AEGP_GetValidInterpolations)(AEGP_StreamRefH streamH,
                                               AEGP_KeyInterpolationMask* valid_interpolationsP);
    SPAPI A_Err (*AEGP_GetNewLayerStream)(AEGP_PluginID aegp_plugin_id, AEGP_LayerH layerH,
                                          AEGP_LayerStream which_stream,
                                          AEGP_StreamRefH* streamPH);
    SPAPI A_Err (*AEGP_GetEffectNumParamStreams)(AEGP_EffectRefH effect_refH,
                                                 A_long* num_paramsPL);
    SPAPI A_Err (*AEGP_GetNewEffectStreamByIndex)(AEGP_PluginID aegp_plugin_id,
                                                  AEGP_EffectRefH effect_refH,
                                                  PF_ParamIndex param_index,
                                                  AEGP_StreamRefH* streamPH);
    SPAPI A_Err (*AEGP_GetNewMaskStream)(AEGP_PluginID aegp_plugin_id, AEGP_MaskRefH mask_refH,
                                         AEGP_MaskStream which_stream,
                                         AEGP_StreamRefH* mask_streamPH);
    SPAPI A_Err (*AEGP_DisposeStream)(AEGP_StreamRefH streamH);
    SPAPI A_Err (*AEGP_GetStreamName)(AEGP_StreamRefH streamH, A_Boolean force_englishB,
                                      A_char* nameZ);
    SPAPI A_Err (*AEGP_GetStreamUnitsText)(AEGP_StreamRefH streamH, A_Boolean force_englishB,
                                           A_char* unitsZ);
    SPAPI A_Err (*AEGP_GetStreamProperties)(AEGP_StreamRefH streamH, AEGP_StreamFlags* flagsP,
                                            A_FpLong* minP0, A_FpLong* maxP0);
    SPAPI A_Err (*AEGP_IsStreamTimevarying)(AEGP_StreamRefH streamH,
                                            A_Boolean* is_timevaryingPB);
    SPAPI A_Err (*AEGP_GetStreamType)(AEGP_StreamRefH streamH, AEGP_StreamType* stream_typeP);
    SPAPI A_Err (*AEGP_GetNewStreamValue)(AEGP_PluginID aegp_plugin_id, AEGP_StreamRefH streamH,
                                          AEGP_LTimeMode time_mode, const A_Time* timePT,
                                          A_Boolean pre_expressionB, AEGP_StreamValue* valueP);
    SPAPI A_Err (*AEGP_DisposeStreamValue)(AEGP_StreamValue* valueP);
    SPAPI A_Err (*AEGP_SetStreamValue)(AEGP_PluginID aegp_plugin_id, AEGP_StreamRefH streamH,
                                       AEGP_StreamValue* valueP);
    SPAPI A_Err (*AEGP_GetLayerStreamValue)(AEGP_LayerH layerH, AEGP_LayerStream which_stream,
                                            AEGP_LTimeMode time_mode, const A_Time* timePT,
                                            A_Boolean pre_expressionB,
                                            AEGP_StreamVal* stream_valP,
                                            AEGP_StreamType* stream_typeP0);
    SPAPI A_Err (*AEGP_GetExpressionState)(AEGP_PluginID aegp_plugin_id,
                                           AEGP_StreamRefH streamH, A_Boolean* enabledPB);
    SPAPI A_Err (*AEGP_SetExpressionState)(AEGP_PluginID aegp_plugin_id,
                                           AEGP_StreamRefH streamH, A_Boolean enabledB);
    SPAPI A_Err (*AEGP_GetExpression)(AEGP_PluginID aegp_plugin_id, AEGP_StreamRefH streamH,
                                      AEGP_MemHandle* expressionHZ);
    SPAPI A_Err (*AEGP_SetExpression)(AEGP_PluginID aegp_plugin_id, AEGP_StreamRefH streamH,
                                      const A_char* expressionP);
    SPAPI A_Err (*AEGP_DuplicateStreamRef)(AEGP_PluginID aegp_plugin_id,
                                           AEGP_StreamRefH streamH,
                                           AEGP_StreamRefH* dup_streamPH);
} AEGP_StreamSuite2;

// ---- "AEGP Dynamic Stream Suite" 2 --------------------------------------------------------

#define kAEGPDynamicStreamSuiteVersion2 2

typedef struct AEGP_DynamicStreamSuite2 {
    SPAPI A_Err (*AEGP_GetNewStreamRefForLayer)(AEGP_PluginID aegp_plugin_id,
                                                AEGP_LayerH layerH, AEGP_StreamRefH* streamPH);
    SPAPI A_Err (*AEGP_GetStreamDepth)(AEGP_StreamRefH streamH, A_long* depthPL);
    SPAPI A_Err (*AEGP_GetStreamGroupingType)(AEGP_StreamRefH streamH,
                                              AEGP_StreamGroupingType* group_typeP);
    SPAPI A_Err (*AEGP_GetNumStreamsInGroup)(AEGP_StreamRefH streamH, A_long* num_streamsPL);
    SPAPI A_Err (*AEGP_GetDynamicStreamFlags)(AEGP_StreamRefH streamH,
                                              AEGP_DynStreamFlags* stream_flagsP);
    SPAPI A_Err (*AEGP_SetDynamicStreamFlag)(AEGP_StreamRefH streamH,
                                             AEGP_DynStreamFlags one_flag, A_Boolean undoableB,
                                             A_Boolean setB);
    SPAPI A_Err (*AEGP_GetNewStreamRefByIndex)(AEGP_PluginID aegp_plugin_id,
                                               AEGP_StreamRefH parent_groupH, A_long indexL,
                                               AEGP_StreamRefH* streamPH);
    SPAPI A_Err (*AEGP_GetNewStreamRefByMatchname)(AEGP_PluginID aegp_plugin_id,
                                                   AEGP_StreamRefH parent_groupH,
                                                   const A_char* match_nameZ,
                                                   AEGP_StreamRefH* streamPH);
    SPAPI A_Err (*AEGP_DeleteStream)(AEGP_StreamRefH streamH);
    SPAPI A_Err (*AEGP_ReorderStream)(AEGP_StreamRefH streamH, A_long new_indexL);
    SPAPI A_Err (*AEGP_DuplicateStream)(AEGP_PluginID aegp_plugin_id, AEGP_StreamRefH streamH,
                                        A_long* new_indexPL0);
    SPAPI A_Err (*AEGP_SetStreamName)(AEGP_StreamRefH streamH, const A_char* nameZ);
    SPAPI A_Err (*AEGP_CanAddStream)(AEGP_StreamRefH group_streamH, const A_char* match_nameZ,
                                     A_Boolean* can_addPB);
    SPAPI A_Err (*AEGP_AddStream)(AEGP_PluginID aegp_plugin_id,
                                  AEGP_StreamRefH indexed_group_streamH,
                                  const A_char* match_nameZ, AEGP_StreamRefH* streamPH0);
    SPAPI A_Err (*AEGP_GetMatchName)(AEGP_StreamRefH streamH, A_char* nameZ);
    SPAPI A_Err (*AEGP_GetNewParentStreamRef)(AEGP_PluginID aegp_plugin_id,
                                              AEGP_StreamRefH streamH,
                                              AEGP_StreamRefH* parent_streamPH);
    SPAPI A_Err (*AEGP_GetStreamIsModified)(AEGP_StreamRefH streamH, A_Boolean* modifiedPB);
} AEGP_DynamicStreamSuite2;

// ---- "AEGP Effect Suite" 3 ----------------------------------------------------------------

#define kAEGPEffectSuiteVersion3 3

typedef A_long AEGP_EffectIndex;
typedef A_long AEGP_InstalledEffectKey;
#define AEGP_InstalledEffectKey_NONE 0
typedef A_long AEGP_EffectFlags;
enum {
    AEGP_EffectFlags_NONE = 0,
    AEGP_EffectFlags_ACTIVE = 0x1L << 0,
    AEGP_EffectFlags_AUDIO_ONLY = 0x1L << 1,
    AEGP_EffectFlags_AUDIO_TOO = 0x1L << 2,
    AEGP_EffectFlags_MISSING = 0x1L << 3
};

typedef struct AEGP_EffectSuite3 {
    SPAPI A_Err (*AEGP_GetLayerNumEffects)(AEGP_LayerH layerH, A_long* num_effectsPL);
    SPAPI A_Err (*AEGP_GetLayerEffectByIndex)(AEGP_PluginID aegp_plugin_id, AEGP_LayerH layerH,
                                              AEGP_EffectIndex layer_effect_indexL,
                                              AEGP_EffectRefH* effectPH);
    SPAPI A_Err (*AEGP_GetInstalledKeyFromLayerEffect)(
        AEGP_EffectRefH effect_refH, AEGP_InstalledEffectKey* installed_effect_keyP);
    SPAPI A_Err (*AEGP_GetEffectParamUnionByIndex)(AEGP_PluginID aegp_plugin_id,
                                                   AEGP_EffectRefH effect_refH,
                                                   PF_ParamIndex param_index,
                                                   PF_ParamType* param_typeP,
                                                   PF_ParamDefUnion* uP0);
    SPAPI A_Err (*AEGP_GetEffectFlags)(AEGP_EffectRefH effect_refH,
                                       AEGP_EffectFlags* effect_flagsP);
    SPAPI A_Err (*AEGP_SetEffectFlags)(AEGP_EffectRefH effect_refH,
                                       AEGP_EffectFlags effect_flags_set_mask,
                                       AEGP_EffectFlags effect_flags);
    SPAPI A_Err (*AEGP_ReorderEffect)(AEGP_EffectRefH effect_refH, A_long effect_indexL);
    SPAPI A_Err (*AEGP_EffectCallGeneric)(AEGP_PluginID aegp_plugin_id,
                                          AEGP_EffectRefH effect_refH, const A_Time* timePT,
                                          PF_Cmd effect_cmd, void* effect_extraPV);
    SPAPI A_Err (*AEGP_DisposeEffect)(AEGP_EffectRefH effect_refH);
    SPAPI A_Err (*AEGP_ApplyEffect)(AEGP_PluginID aegp_plugin_id, AEGP_LayerH layerH,
                                    AEGP_InstalledEffectKey installed_effect_key,
                                    AEGP_EffectRefH* effect_refPH);
    SPAPI A_Err (*AEGP_DeleteLayerEffect)(AEGP_EffectRefH effect_refH);
    SPAPI A_Err (*AEGP_GetNumInstalledEffects)(A_long* num_installed_effectsPL);
    SPAPI A_Err (*AEGP_GetNextInstalledEffect)(AEGP_InstalledEffectKey installed_effect_key,
                                               AEGP_InstalledEffectKey* next_effectPH);
    SPAPI A_Err (*AEGP_GetEffectName)(AEGP_InstalledEffectKey installed_effect_key,
                                      A_char* nameZ);
    SPAPI A_Err (*AEGP_GetEffectMatchName)(AEGP_InstalledEffectKey installed_effect_key,
                                           A_char* match_nameZ);
    SPAPI A_Err (*AEGP_GetEffectCategory)(AEGP_InstalledEffectKey installed_effect_key,
                                          A_char* categoryZ);
    SPAPI A_Err (*AEGP_DuplicateEffect)(AEGP_EffectRefH original_effect_refH,
                                        AEGP_EffectRefH* duplicate_effect_refPH);
} AEGP_EffectSuite3;

#ifdef __cplusplus
}
#endif

#pragma pack(pop)
