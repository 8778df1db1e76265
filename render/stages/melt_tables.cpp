#include "render/stages/melt_tables.h"

#include "render/curves.h"

void buildTables(ParamValues& params, float scale, MeltTables& tables) {
    const int velocityPhase = getAngleVal(params.velCurvePhase, kLumaEntries);
    const int spreadPhase = getAngleVal(params.spreadCurvePhase, kLumaEntries);
    const float meltAmount = float(params.intensity * 0.01 * double(float(params.meltStep)));
    tables.meltAmount = meltAmount;

    const float alignment = float(1.0 - params.spreadAlignment * 0.01);
    const float spreadAmplitude = float(double(scale) * params.spread);

    // Velocity: the curve, blended toward `velocity` by its floor, lifted by `shift`,
    // in cells of the rendered frame.
    const float velocity = float(params.velocity);
    params.velCurveSmoothness = params.velCurveSmoothness * kSmoothnessScale;
    const float velocityFloor = float(params.velCurveFloor);
    const float velocityScale = scale * meltAmount;
    for (int i = 0; i < kLumaEntries; ++i) {
        const float c = getCurveVal(params.velCurveFunction, i, kLumaEntries, velocity, 0.0f,
                                    float(params.velCurveSmoothness), 0);
        float e = (velocity - c) * velocityFloor + c;
        e = float(double(e) + params.shift);
        tables.velocityTable[(velocityPhase + i) % kLumaEntries] = e * velocityScale;
    }

    // Spread: a run of v + 1 cells starting (1 - alignment) x v before its target.
    params.spreadCurveSmoothness = params.spreadCurveSmoothness * kSmoothnessScale;
    const float spreadFloor = float(params.spreadCurveFloor);
    for (int i = 0; i < kLumaEntries; ++i) {
        const float c = getCurveVal(params.spreadCurveFunction, i, kLumaEntries, spreadAmplitude, 0.0f,
                                    float(params.spreadCurveSmoothness), 0);
        const float v = ((spreadAmplitude - c) * spreadFloor + c) * meltAmount;
        const int k = (spreadPhase + i) % kLumaEntries;
        tables.spreadOffsetTable[k] = v * -alignment;
        tables.spreadLengthTable[k] = v + 1.0f;
    }
}
