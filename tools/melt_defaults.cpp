#include "tools/melt_defaults.h"

#include <cstring>

ParamValues defaultParamValues() {
    ParamValues p;
    std::memset(&p, 0, sizeof p);  // empty layer slots and their embedded records
    p.direction = 2;               // "Down"
    p.intensity = 100.0;
    p.meltStep = 512;
    p.velocity = 0.25;
    p.spread = 0.25;
    p.spreadAlignment = 100.0;
    p.shading = 0;                 // "None"
    p.shadingPhase = 0;
    p.shift = 0.01;
    p.scanlineStep = 1;
    p.scanlinePhase = 0;
    p.scanlineFade = 0;
    p.scanlineAlign = 1;           // "Middle"
    p.modFunction = 0;             // "Sine Wave"
    p.modPeriod = 50.0;
    p.modAmplitude = 0.0;
    p.modPhase = 0.0;
    p.modExponent = 1.0;
    p.modInvert = 0;
    p.velCurveFunction = 0;        // "Linear Ramp Up"
    p.velCurvePhase = 0;
    p.velCurveSmoothness = 0.0;
    p.velCurveFloor = 0.0;
    p.spreadCurveFunction = 0;     // "Linear Ramp Up"
    p.spreadCurvePhase = 0;
    p.spreadCurveSmoothness = 0.0;
    p.spreadCurveFloor = 0.0;
    p.wrap = 0;
    p.outputContinuity = 0;        // "None"
    p.fullscreenStretch = 0.0;
    p.offscreenReach = 0.0;
    p.fadeStart = 0.0;
    p.fadeEnd = 0.0;
    return p;
}
