// A small registration in the shape of the effect's, as the host holds it, for the
// tests of setting and listing parameters by name.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "tools/render_cli/param_assignment.h"

inline PF_ParamDef def(int32_t type, const char* name) {
    PF_ParamDef d{};
    d.param_type = type;
    std::strncpy(d.name, name, sizeof d.name - 1);
    return d;
}

// Two groups that both hold a "Function" popup, sliders of each kind, an angle, a
// checkbox and a layer.
struct Registration {
    std::vector<PF_ParamDef> params;
    std::vector<std::string> items;

    Registration() {
        add(def(PF_Param_LAYER, ""), "");  // index 0, the input layer
        PF_ParamDef direction = def(PF_Param_POPUP, "Direction");
        direction.u.pd.value = direction.u.pd.dephault = 3;
        add(direction, "Right|Left|Down|Up");
        PF_ParamDef velocity = def(PF_Param_FLOAT_SLIDER, "Velocity");
        velocity.u.fs_d.valid_min = -1.0f;
        velocity.u.fs_d.valid_max = 1.0f;
        velocity.u.fs_d.dephault = 0.25f;
        add(velocity, "");
        add(def(PF_Param_GROUP_START, "Velocity Curve"), "");
        add(def(PF_Param_POPUP, "Function"), "Linear Ramp Up|Sine Wave");
        add(def(PF_Param_ANGLE, "Phase"), "");
        add(def(PF_Param_GROUP_END, ""), "");
        add(def(PF_Param_GROUP_START, "Spread Curve"), "");
        add(def(PF_Param_POPUP, "Function"), "Linear Ramp Up|Sine Wave");
        PF_ParamDef step = def(PF_Param_FIX_SLIDER, "Step");
        step.u.fd.valid_min = 1 << 16;
        step.u.fd.valid_max = 100 << 16;
        step.u.fd.dephault = 3 << 15;
        add(step, "");
        add(def(PF_Param_GROUP_END, ""), "");
        add(def(PF_Param_CHECKBOX, "Wrap"), "");
        add(def(PF_Param_LAYER, "Velocity Intensity Source"), "");
    }
    void add(const PF_ParamDef& d, const char* popupItems) {
        params.push_back(d);
        items.push_back(popupItems);
    }
    std::string set(const std::string& assignment) { return assignParam({params, items}, assignment); }
};
