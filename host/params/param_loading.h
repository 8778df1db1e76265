// Filling the one ParamValues record of a frame from the host's parameters, and
// handing the two intensity-source layers back afterwards.
#pragma once

#include <cstdint>

#include "platform/pf_effect.h"
#include "platform/pf_smart_render.h"
#include "render/param_values.h"

// Popups count their items from 1; the record counts from 0. A host value far out
// of range wraps rather than overflowing: it stays out of range either way.
inline int32_t popupIndex(int32_t hostValue) { return int32_t(uint32_t(hostValue) - 1u); }

// 16.16 fixed point to the nearest integer, halves toward plus infinity. Taken in
// 64 bits so that values near the top of the range do not overflow.
inline int32_t roundFixed(PF_Fixed value) {
    return int32_t((int64_t(value) + 32768) >> 16);
}

// Every value field at its registered default, converted from the parameter table
// as a load from the host converts it; both intensity-source slots empty. What a
// freshly applied effect renders with: the starting point of the tools, the
// benchmark and the tests.
ParamValues defaultParamValues();

// Fills record from the host at the command's current time. With params the
// values come from the host's array and the two source layers are checked out as
// parameters into the record's slots (the caller checks them in with
// CleanupLayerParams); without params each value is checked out and in again one
// at a time, and with a pre-render extra the two source layers are only requested
// (under their host indices), leaving the slots empty. A failing host checkout
// throws its code, with nothing of this call left checked out.
void LoadParamValues(const PF_InData* in_data, PF_ParamDef** params,
                     const PF_PreRenderExtra* extra, ParamValues* record);

// Smart render: the pixels of the two source layers requested in pre-render. A
// failing checkout throws its code; the caller's CleanupLayerParams checks both
// ids in again.
void LoadLayerParamsAE(const PF_InData* in_data, const PF_SmartRenderExtra* extra,
                       ParamValues* record);

// Hands the two source layers back: pixels under their checkout ids with a
// smart-render extra, else the two layer parameters of the record. Returns the
// second check-in's code.
PF_Err CleanupLayerParams(const PF_InData* in_data, PF_ParamDef** params,
                          const PF_SmartRenderExtra* extra, ParamValues* record);
