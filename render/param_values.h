// Every parameter value of one render, converted into the form the melt kernels
// use, followed by the two intensity-source layer slots. One definition, shared by
// the renderer and the host side.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/pf_effect.h"

#if defined(_WIN32)
#pragma pack(push, 4)
#endif

struct ParamValues {
    int32_t direction;            // 0 Right, 1 Left, 2 Down, 3 Up
    double intensity;             // percent
    int32_t meltStep;
    double velocity;
    double spread;
    double spreadAlignment;       // percent
    int32_t shading;              // 0 None, 1..4 waves
    int32_t shadingPhase;         // 16.16 degrees
    double shift;
    int32_t scanlineStep;
    int32_t scanlinePhase;        // 16.16 degrees
    int32_t scanlineFade;
    int32_t scanlineAlign;        // 0 Start, 1 Middle, 2 End
    int32_t modFunction;
    double modPeriod;             // percent of lineCount
    double modAmplitude;          // percent of lineLength
    double modPhase;              // 16.16 degrees held in a double
    double modExponent;
    int32_t modInvert;
    int32_t velCurveFunction;
    int32_t velCurvePhase;        // 16.16 degrees
    double velCurveSmoothness;
    double velCurveFloor;
    int32_t spreadCurveFunction;
    int32_t spreadCurvePhase;     // 16.16 degrees
    double spreadCurveSmoothness;
    double spreadCurveFloor;
    int32_t wrap;
    int32_t outputContinuity;     // 0 None, 1 All, 2 All (No Start), 3 Full Alpha Only
    double fullscreenStretch;     // percent
    double offscreenReach;        // percent
    double fadeStart;             // percent
    double fadeEnd;               // percent
    PF_LayerDef* velocitySourceLayer;
    PF_ParamDef velocitySourceParam;
    PF_LayerDef* spreadSourceLayer;
    PF_ParamDef spreadSourceParam;
};

#if defined(_WIN32)
#pragma pack(pop)
static_assert(sizeof(ParamValues) == 568, "ParamValues is 568 bytes in the Windows build");
#else
static_assert(sizeof(ParamValues) == 584, "ParamValues is 584 bytes in the Linux build");
#endif
static_assert(sizeof(PF_ParamDef) == 176, "PF_ParamDef is 176 bytes in every build");

// A source layer counts only when the slot and its pixels are both set.
inline bool layerPresent(const PF_LayerDef* layer) {
    return layer != nullptr && layer->data != nullptr;
}
