#include "host/params/graph_params.h"

#include <cstring>

#include "host/params/param_map.h"

PF_ParamDef readParamDef(const PF_InData* in_data, PF_ParamDef** params, int32_t id) {
    PF_ParamDef def;
    std::memset(&def, 0, sizeof def);
    if (params != nullptr) {
        def = *getParam(in_data, params, id, nullptr);
        return def;
    }
    getParam(in_data, nullptr, id, &def);
    PF_ParamDef copy = def;
    in_data->inter.checkin_param(in_data->effect_ref, &def);
    return copy;
}
