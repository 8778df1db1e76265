// How parameter loading and the graph draw functions read a parameter: by
// effect id, at the command's current time, leaving nothing checked out.
#pragma once

#include <cstdint>

#include "platform/pf_effect.h"

// A copy of parameter id's record: the host's own entry when params is given,
// else checked out and checked in again before returning. A failing checkout
// throws the host's code.
PF_ParamDef readParamDef(const PF_InData* in_data, PF_ParamDef** params, int32_t id);

inline int32_t readPopupValue(const PF_InData* in_data, PF_ParamDef** params, int32_t id) {
    return readParamDef(in_data, params, id).u.pd.value;
}

inline PF_Fixed readAngleValue(const PF_InData* in_data, PF_ParamDef** params, int32_t id) {
    return readParamDef(in_data, params, id).u.ad.value;
}

inline PF_Fixed readFixedValue(const PF_InData* in_data, PF_ParamDef** params, int32_t id) {
    return readParamDef(in_data, params, id).u.fd.value;
}

inline int32_t readCheckboxValue(const PF_InData* in_data, PF_ParamDef** params, int32_t id) {
    return readParamDef(in_data, params, id).u.bd.value;
}

// Float sliders are read in single precision.
inline float readFloatValue(const PF_InData* in_data, PF_ParamDef** params, int32_t id) {
    return float(readParamDef(in_data, params, id).u.fs_d.value);
}
