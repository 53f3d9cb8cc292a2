// The table of host entry points, one per host function name, in the order they are looked up.
#pragma once

#include "plugin/host_interface.h"

struct HostApi {
    MQ_GetWindowHandleFn MQ_GetWindowHandle;
    MQ_CreateObjectFn MQ_CreateObject;
    HostProc MQ_CreateMaterial;
    HostProc MQ_ShowFileDialog;
    HostProc MQ_ImportAxis;
    HostProc MQ_ExportAxis;
    HostProc MQ_LoadImage;
    HostProc MQ_GetSystemPath;
    MQ_RefreshViewFn MQ_RefreshView;
    HostProc MQ_StationCallback;
    HostProc MQ_SendMessage;
    HostProc MQDoc_GetObjectCount;
    MQDoc_GetObjectFn MQDoc_GetObject;
    MQDoc_GetCurrentObjectIndexFn MQDoc_GetCurrentObjectIndex;
    HostProc MQDoc_SetCurrentObjectIndex;
    MQDoc_AddObjectFn MQDoc_AddObject;
    MQDoc_DeleteObjectFn MQDoc_DeleteObject;
    HostProc MQDoc_GetObjectIndex;
    HostProc MQDoc_GetMaterialCount;
    HostProc MQDoc_GetMaterial;
    HostProc MQDoc_GetCurrentMaterialIndex;
    HostProc MQDoc_SetCurrentMaterialIndex;
    HostProc MQDoc_AddMaterial;
    HostProc MQDoc_DeleteMaterial;
    HostProc MQDoc_Compact;
    HostProc MQDoc_ClearSelect;
    HostProc MQDoc_AddSelectVertex;
    HostProc MQDoc_DeleteSelectVertex;
    HostProc MQDoc_IsSelectVertex;
    HostProc MQDoc_AddSelectLine;
    HostProc MQDoc_DeleteSelectLine;
    HostProc MQDoc_IsSelectLine;
    HostProc MQDoc_AddSelectFace;
    HostProc MQDoc_DeleteSelectFace;
    HostProc MQDoc_IsSelectFace;
    HostProc MQDoc_AddSelectUVVertex;
    HostProc MQDoc_DeleteSelectUVVertex;
    HostProc MQDoc_IsSelectUVVertex;
    HostProc MQDoc_FindMappingFile;
    HostProc MQDoc_GetScene;
    HostProc MQDoc_GetParentObject;
    HostProc MQDoc_GetChildObjectCount;
    HostProc MQDoc_GetChildObject;
    HostProc MQDoc_GetGlobalMatrix;
    HostProc MQDoc_GetGlobalInverseMatrix;
    HostProc MQDoc_InsertObject;
    HostProc MQScene_InitSize;
    HostProc MQScene_GetProjMatrix;
    HostProc MQScene_GetViewMatrix;
    HostProc MQScene_FloatValue;
    HostProc MQScene_GetVisibleFace;
    MQObj_DeleteFn MQObj_Delete;
    MQObj_CloneFn MQObj_Clone;
    MQObj_MergeFn MQObj_Merge;
    HostProc MQObj_Freeze;
    HostProc MQObj_GetName;
    MQObj_GetVertexCountFn MQObj_GetVertexCount;
    MQObj_GetVertexFn MQObj_GetVertex;
    MQObj_SetVertexFn MQObj_SetVertex;
    HostProc MQObj_GetVertexArray;
    HostProc MQObj_GetFaceCount;
    HostProc MQObj_GetFacePointCount;
    HostProc MQObj_GetFacePointArray;
    HostProc MQObj_GetFaceCoordinateArray;
    HostProc MQObj_GetFaceMaterial;
    HostProc MQObj_GetFaceUniqueID;
    HostProc MQObj_GetFaceIndexFromUniqueID;
    HostProc MQObj_SetName;
    HostProc MQObj_AddVertex;
    HostProc MQObj_DeleteVertex;
    HostProc MQObj_GetVertexRefCount;
    HostProc MQObj_GetVertexUniqueID;
    HostProc MQObj_GetVertexIndexFromUniqueID;
    HostProc MQObj_GetVertexWeight;
    HostProc MQObj_SetVertexWeight;
    HostProc MQObj_CopyVertexAttribute;
    HostProc MQObj_AddFace;
    HostProc MQObj_DeleteFace;
    HostProc MQObj_InvertFace;
    HostProc MQObj_SetFaceMaterial;
    HostProc MQObj_SetFaceCoordinateArray;
    HostProc MQObj_GetFaceVertexColor;
    HostProc MQObj_SetFaceVertexColor;
    HostProc MQObj_OptimizeVertex;
    HostProc MQObj_Compact;
    HostProc MQObj_GetVisible;
    HostProc MQObj_SetVisible;
    HostProc MQObj_GetPatchType;
    HostProc MQObj_SetPatchType;
    HostProc MQObj_GetPatchSegment;
    HostProc MQObj_SetPatchSegment;
    HostProc MQObj_GetShading;
    HostProc MQObj_SetShading;
    HostProc MQObj_GetSmoothAngle;
    HostProc MQObj_SetSmoothAngle;
    HostProc MQObj_GetMirrorType;
    HostProc MQObj_SetMirrorType;
    HostProc MQObj_GetMirrorAxis;
    HostProc MQObj_SetMirrorAxis;
    HostProc MQObj_GetMirrorDistance;
    HostProc MQObj_SetMirrorDistance;
    HostProc MQObj_GetLatheType;
    HostProc MQObj_SetLatheType;
    HostProc MQObj_GetLatheAxis;
    HostProc MQObj_SetLatheAxis;
    HostProc MQObj_GetLatheSegment;
    HostProc MQObj_SetLatheSegment;
    HostProc MQObj_GetIntValue;
    HostProc MQObj_GetFloatArray;
    HostProc MQObj_SetIntValue;
    HostProc MQObj_SetFloatArray;
    HostProc MQMat_Delete;
    HostProc MQMat_GetIntValue;
    HostProc MQMat_GetFloatArray;
    HostProc MQMat_GetName;
    HostProc MQMat_GetColor;
    HostProc MQMat_GetAlpha;
    HostProc MQMat_GetDiffuse;
    HostProc MQMat_GetAmbient;
    HostProc MQMat_GetEmission;
    HostProc MQMat_GetSpecular;
    HostProc MQMat_GetPower;
    HostProc MQMat_GetTextureName;
    HostProc MQMat_GetAlphaName;
    HostProc MQMat_GetBumpName;
    HostProc MQMat_SetIntValue;
    HostProc MQMat_SetFloatArray;
    HostProc MQMat_SetName;
    HostProc MQMat_SetColor;
    HostProc MQMat_SetAlpha;
    HostProc MQMat_SetDiffuse;
    HostProc MQMat_SetAmbient;
    HostProc MQMat_SetEmission;
    HostProc MQMat_SetSpecular;
    HostProc MQMat_SetPower;
    HostProc MQMat_SetTextureName;
    HostProc MQMat_SetAlphaName;
    HostProc MQMat_SetBumpName;
    HostProc MQMatrix_FloatValue;
    HostProc MQXmlElem_Value;
    // Not an entry: 1 while the last MQInit found every name, so the command never calls
    // through a table that a failed look-up left half filled.
    int32_t resolved;
};

// Every name looked up by MQInit, in order; MQ_GetSystemPath appears twice.
inline constexpr int host_lookup_count = 141;
inline constexpr int host_entry_count = 140;

// The module-wide table; all null until MQInit fills it.
extern HostApi host_api;

// The resolution list: the name of each look-up and the entry it fills.
struct HostLookup {
    const char* name;
    unsigned offset; // byte offset of the entry in HostApi
};
extern const HostLookup host_lookups[host_lookup_count];
