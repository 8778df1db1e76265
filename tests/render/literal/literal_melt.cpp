#include "tests/render/literal/literal_melt.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "render/curves.h"

double RunCensus::depositedCells() const {
    double cells = 0.0;
    for (const Run& run : runs) cells += run.cells;
    return cells;
}

namespace {

constexpr int kCells = 16384;
struct Cells {
    float c[kCells][4];
    float* operator[](int i) { return c[i]; }
    const float* operator[](int i) const { return c[i]; }
};

template <class Channel>
float channelValue(Channel c) {
    if constexpr (sizeof(Channel) == 1) return float(c) * 0.003921568859368563f;
    else if constexpr (sizeof(Channel) == 2) return float(c) * 3.0517578125e-05f;
    else return c;
}

template <class Channel>
int luma(const Channel* px) {
    if constexpr (sizeof(Channel) == 1) return int((unsigned(px[1]) + px[2] + px[3]) * 767u / 765u);
    else if constexpr (sizeof(Channel) == 2) return int((unsigned(px[1]) + px[2] + px[3]) * 767u / 98304u);
    else {
        float s = ((px[1] + px[2]) + px[3]) * 0.33333334f;
        if (std::isnan(s) || s < 0.0f) s = 0.0f;
        if (s > 1.0f) s = 1.0f;
        return int(s * 767.0f);
    }
}

template <class Channel>
Channel store(float v) {
    if constexpr (sizeof(Channel) == 4) return v;
    else if constexpr (sizeof(Channel) == 1) return Channel(int32_t(v * 255.0f));
    else return Channel(int32_t(v * 32768.0f));
}

// Four channels per pixel, rows `pitch` channels apart (negative: rows run upward).
template <class Channel>
struct Image {
    Channel* pixels = nullptr;
    int64_t width = 0, height = 0, pitch = 0;
    explicit Image(const PF_LayerDef& layer)
        : pixels(static_cast<Channel*>(layer.data)), width(layer.width), height(layer.height),
          pitch(layer.rowbytes / int32_t(sizeof(Channel))) {}
    Channel* at(int64_t x, int64_t y) const { return pixels + y * pitch + 4 * x; }
};

// One intensity-source layer as mapped onto the output frame, in 20.12 fixed point.
template <class Channel>
struct LayerReference {
    const Channel* pixels = nullptr;
    int64_t width = 0, height = 0, pitch = 0, offsetX = 0, offsetY = 0, stepX = 0, stepY = 0;
    int64_t lineStart = 0, cellStep = 0;
    bool alongColumn = false;

    LayerReference() = default;
    LayerReference(const PF_LayerDef& layer, int64_t ox, int64_t oy, int64_t W, int64_t H) {
        const Image<const Channel> image(layer);
        pixels = image.pixels, width = image.width, height = image.height, pitch = image.pitch;
        const bool rule = oy + H <= height && ox + W <= width && height >= H && width >= W && ox >= 0 && oy >= 0;
        offsetX = rule ? ox * 4096 : 0;
        offsetY = rule ? oy * 4096 : 0;
        stepX = ((rule ? width - ox : width) * 4096) / W;
        stepY = ((rule ? height - oy : height) * 4096) / H;
    }
    void beginLine(int direction, int n) {
        const int64_t j = (n * stepY + offsetY) >> 12, c = (n * stepX + offsetX) >> 12;
        alongColumn = direction >= 2;
        switch (direction) {
        case 0: lineStart = j * pitch + (offsetX >> 12) * 4, cellStep = 4 * stepX; break;
        case 1: lineStart = j * pitch + (width - 1) * 4, cellStep = -(4 * stepX); break;
        case 2: lineStart = (offsetY >> 12) * pitch + c * 4, cellStep = pitch * stepY; break;
        default: lineStart = (height - 1) * pitch + c * 4, cellStep = -(pitch * stepY); break;
        }
    }
    int sample(int position) const {
        int64_t o = (int64_t(position) * cellStep) >> 12;
        if (alongColumn) o = o - o % pitch;
        else o = o & ~int64_t(3);
        return luma(pixels + lineStart + o);
    }
    int index(int position, float f, bool interpolated) const {
        const int k = sample(position);
        return interpolated ? int(float(sample(position + 1) - k) * f + float(k)) : k;
    }
};

// The shading weight of one cell, from the ten sample positions: each held to the
// table (NaN as 0) and truncated, summed from the first on, times 0.1f or divided
// by 10.0f.
float shadeOfPositions(const float* shadingTable, const float (&position)[10], ShadeForm form) {
    float sum = 0.0f;
    for (int k = 0; k < 10; ++k) {
        const float p = std::isnan(position[k]) ? 0.0f : std::min(std::max(position[k], 0.0f), 255.0f);
        sum = k == 0 ? shadingTable[int(p)] : sum + shadingTable[int(p)];
    }
    return form == ShadeForm::kMultiplying ? sum * 0.1f : sum / 10.0f;
}

// Positions from `start` as running sums of `step`.
void runningPositions(float (&position)[10], float start, float step) {
    position[0] = start;
    for (int k = 1; k < 10; ++k) position[k] = position[k - 1] + step;
}

template <class Channel>
struct Reference {
    ParamValues p;
    float scale;
    float velocityTable[768], spreadOffsetTable[768], spreadLengthTable[768];
    float shadingTable[256];
    int stepSize = 1, phaseIndex = 0;
    float phaseFraction = 0.0f, radiansPerLine = 0.0f, phaseRadians = 0.0f, offsetScale = 0.0f;
    LayerReference<Channel> velocityLayer, spreadLayer;
    RunCensus* census = nullptr;

    void tables() {
        const int pv = getAngleVal(p.velCurvePhase, 768), ps = getAngleVal(p.spreadCurvePhase, 768);
        const float meltAmount = float(p.intensity * 0.01 * double(float(p.meltStep)));
        const float a = float(1.0 - p.spreadAlignment * 0.01);
        const float S = float(double(scale) * p.spread);
        const float V = float(p.velocity);
        const double sv = p.velCurveSmoothness * 8.084210395812988;
        const float Fv = float(p.velCurveFloor);
        const float g = scale * meltAmount;
        for (int i = 0; i < 768; ++i) {
            const float c = getCurveVal(p.velCurveFunction, i, 768, V, 0.0f, float(sv), 0);
            float e = (V - c) * Fv + c;
            e = float(double(e) + p.shift);
            velocityTable[(pv + i) % 768] = e * g;
        }
        const double ss = p.spreadCurveSmoothness * 8.084210395812988;
        const float Fs = float(p.spreadCurveFloor);
        for (int i = 0; i < 768; ++i) {
            const float c = getCurveVal(p.spreadCurveFunction, i, 768, S, 0.0f, float(ss), 0);
            const float v = ((S - c) * Fs + c) * meltAmount;
            spreadOffsetTable[(ps + i) % 768] = v * -a;
            spreadLengthTable[(ps + i) % 768] = v + 1.0f;
        }
    }

    static float wave(int shading, int i) {
        switch (shading) {
        case 1: return float(std::sin(3.14159265359 * double(i) / 255.0));
        case 2: return i <= 126 ? float(i) / 126.0f : i <= 128 ? 1.0f : float(255 - i) / 126.0f;
        case 3: return float(double(i) / 255.0);
        case 4: return float(1.0 - double(i) / 255.0);
        default: return 1.0f;
        }
    }

    void shading() {
        float longest = 0.0f;
        for (float length : spreadLengthTable) longest = length > longest ? length : longest;
        const int phase = getAngleVal(p.shadingPhase, 256);
        for (int i = 0; i < 256; ++i) shadingTable[(phase + i) % 256] = wave(p.shading, i);
        const float strength = float((double(longest) - 1.0) / 3.0);
        if (strength < 1.0f) {
            for (float& e : shadingTable) e = float((double(e) - 1.0) * double(strength) + 1.0);
        }
    }

    void grid(int lineLength, int lineCount) {
        const int raw = int(float(p.scanlineStep) * scale);
        stepSize = raw >= 1 ? raw : 1;
        if (stepSize >= 2) {
            const int a = getAngleVal(p.scanlinePhase, stepSize * 256);
            phaseIndex = a >> 8;
            phaseFraction = float(a % 256) * 0.00390625f;
            float shift = 0.0f;
            bool shifted = true;
            if (p.scanlineAlign == 1) {
                const float h = 0.5f * float(lineLength);
                shift = h - float(int(h / float(stepSize))) * float(stepSize);
            } else if (p.scanlineAlign == 2) {
                const int q = int(float(lineLength - 1) / float(stepSize));
                shift = float((double(lineLength) - 1.0) - double(float(q) * float(stepSize)));
            } else {
                shifted = false;
            }
            if (shifted) {
                phaseIndex += int(shift);
                phaseFraction = phaseFraction + (shift - float(int(shift)));
                if (phaseFraction > 1.0f) ++phaseIndex, phaseFraction = phaseFraction - 1.0f;
            }
        }
        const double periodLines = double(float(lineCount)) * p.modPeriod;
        radiansPerLine = float(628.318530718 / periodLines);
        offsetScale = float(p.modAmplitude * 0.01 * double(float(lineLength)));
        phaseRadians = float(getAngleVal(int(p.modPhase), 6283185)) * 0.000001f;
    }

    void lineStart(int n, int& index, float& fraction) const {
        float offset = 0.0f;
        if (p.modAmplitude != 0.0) {
            const float angle = float(n) * radiansPerLine + phaseRadians;
            float w = 0.0f;
            const double e = p.modExponent;
            if (p.modFunction == 0) {
                float s = sinf(angle);
                if (e != 1.0) s = std::copysign(float(std::pow(double(std::fabs(s)), e)), s < 0.0f ? -1.0f : 1.0f);
                w = s * 0.5f;
            } else if (p.modFunction >= 1 && p.modFunction <= 3) {
                const int k = int(angle * 1000000.0f);
                const int r = k % 6283185;
                float v;
                if (p.modFunction == 1) v = float(double(float(r < 3141592 ? r : 6283185 - r)) * 3.183098861837697e-07);
                else if (p.modFunction == 2) v = float(double(float(r)) * 1.5915494309188484e-07);
                else v = float(1.0 + double(float(r)) * -1.5915494309188484e-07);
                if (e != 1.0) v = float(std::pow(double(v), e));
                w = v - 0.5f;
            } else if (p.modFunction == 4) {
                const int k = int(double(angle) * 500000.0);
                float s = sinf(float(double(float(k % 3141592)) * 0.000001));
                if (e != 1.0 && s >= 0.0f) s = float(std::pow(double(s), e));
                w = s - 0.5f;
            }
            if (p.modInvert != 0) w = -w;
            offset = w * offsetScale;
            while (offset < 0.0f) offset = offset + float(stepSize);
        }
        int i = int(offset) + phaseIndex;
        float f = (offset - float(int(offset))) + phaseFraction;
        if (f >= 1.0f) ++i, f = f - 1.0f;
        index = i % stepSize;
        fraction = f;
    }

    int deposit(Cells& acc, const std::vector<const Channel*>& line, int g, float f, bool wrap) const {
        const int L = int(line.size());
        int depositEnd = 0;
        const float q = 1.0f / float(stepSize);
        for (int i = g; i < L; i += stepSize) {
            float A = channelValue(line[i][0]);
            if (A == 0.0f || std::isnan(A)) continue;
            const bool interp = f != 0.0f && i != L - 1;
            int k = luma(line[i]);
            if (interp) k = int(float(luma(line[i + 1]) - k) * f + float(k));
            const int kv = velocityLayer.pixels ? velocityLayer.index(i, f, interp) : k;
            const int ks = spreadLayer.pixels ? spreadLayer.index(i, f, interp) : k;
            float t = (f + float(i));
            if (spreadLayer.pixels && !velocityLayer.pixels) t = (t + spreadOffsetTable[ks]) + velocityTable[kv];
            else t = (t + velocityTable[kv]) + spreadOffsetTable[ks];
            const float len = spreadLengthTable[ks];
            float u, r, consumed = 0.0f;
            if (wrap) {
                while (t < 0.0f) t = t + float(L);
                u = t, r = len;
            } else {
                if (t + len < 0.0f) continue;
                if (t < 0.0f) u = 0.0f, r = t + len, consumed = -t;
                else u = t, r = len;
            }
            const int c0 = int(u);
            if (c0 >= kCells) continue;
            float R = channelValue(line[i][1]), G = channelValue(line[i][2]), B = channelValue(line[i][3]);
            if (interp) {
                const float A2 = channelValue(line[i + 1][0]);
                if (A2 == 0.0f || std::isnan(A2)) continue;
                A = A + (A2 - A) * f;
                R = R + (channelValue(line[i + 1][1]) - R) * f;
                G = G + (channelValue(line[i + 1][2]) - G) * f;
                B = B + (channelValue(line[i + 1][3]) - B) * f;
            }
            float w = A;
            if (p.scanlineFade != 0) {
                const int e = L - stepSize;
                if (i >= e) w = (1.0f - float(i - e) * q) * A;
                else if (i < stepSize) w = (float(i) * A) * q;
            }
            int next = c0;
            bool ended = false;
            RunCensus::Run run{wrap ? c0 % L : c0, 0};
            const auto add = [&](float unshaded, ShadedCellKind kind, float share) {
                float* cell = acc[wrap ? next % L : next];
                if (p.shading == 0) {
                    cell[0] += unshaded, cell[1] += unshaded * R, cell[2] += unshaded * G, cell[3] += unshaded * B;
                } else if (kShadeForm == ShadeForm::kMultiplying) {
                    const float amount = literalCellShade(shadingTable, kind, len, consumed, share) * unshaded;
                    cell[0] += amount, cell[1] += amount * R, cell[2] += amount * G, cell[3] += amount * B;
                } else {
                    const float f = literalCellShade(shadingTable, kind, len, consumed, share);
                    cell[0] += f * unshaded;
                    cell[1] += f * (R * unshaded), cell[2] += f * (G * unshaded), cell[3] += f * (B * unshaded);
                }
                if ((wrap ? next % L : next) == kCells - 1) ended = true;
                next = (wrap ? next % L : next) + 1;
                ++run.cells;
            };
            if (u != float(c0)) {
                const float s = (float(c0) - u) + 1.0f;
                add(w * s, ShadedCellKind::FirstPartial, s);
                r = r - s;
                consumed = s;
            }
            while (!ended && r >= 1.0f && (wrap ? next % L : next) <= kCells - 1) {
                add(w, ShadedCellKind::Whole, 0.0f);
                r = r - 1.0f;
                consumed = consumed + 1.0f;
            }
            if (!ended && r > 0.0f && (wrap ? next % L : next) <= kCells - 1) {
                add(r * w, ShadedCellKind::LastPartial, 0.0f);
            }
            if (!wrap && next > depositEnd) depositEnd = next;
            if (census != nullptr && run.cells > 0) census->runs.push_back(run);
        }
        return depositEnd;
    }

    void normalize(Cells& acc, int E) const {
        bool full = false;
        for (int i = 0; i < E; ++i) {
            float* c = acc[i];
            const float A = c[0];
            if (A >= 1.0f) {
                c[0] = 1.0f, c[1] = c[1] / A, c[2] = c[2] / A, c[3] = c[3] / A;
                full = true;
            } else if (A > 0.0f) {
                const float r = 1.0f / A;
                c[1] = c[1] * r, c[2] = c[2] * r, c[3] = c[3] * r;
                if (p.outputContinuity == 1 || (p.outputContinuity == 2 && full)) c[0] = 1.0f;
            }
        }
    }

    static void fill(Cells& acc, int E) {
        int start = 0;
        while (start < kCells && acc[start][0] == 0.0f) ++start;
        if (start >= E) return;
        bool gap = false;
        int last = -1;
        for (int i = start; i < E; ++i) {
            const float A = acc[i][0];
            if (!gap) {
                if (A == 1.0f) last = i;
                else if (A == 0.0f) gap = true;
            } else if (A == 1.0f) {
                if (last >= 0) {
                    const int d = i - last;
                    float D[4];
                    for (int c = 1; c < 4; ++c) D[c] = acc[i][c] - acc[last][c];
                    for (int k = 1; k < d; ++k) {
                        acc[last + k][0] = 1.0f;
                        for (int c = 1; c < 4; ++c) acc[last + k][c] = (D[c] * float(k)) / float(d + 1) + acc[last][c];
                    }
                }
                last = i;
                gap = false;
            }
        }
    }

    void stretch(const Cells& acc, Cells& out, int L) const {
        int first = 0;
        while (first < kCells && acc[first][0] == 0.0f) ++first;
        int last = kCells - 1;
        while (last >= 1 && acc[last][0] == 0.0f) --last;
        const float start = float((p.fullscreenStretch * 0.01) * double(first));
        const float d = float(last) - float(L - 1);
        const float end = float(double(d) * 0.01 * p.offscreenReach + double(L - 1));
        const float span = end - start;
        const float step = 1.0f / float(L - 1);
        for (int i = 0; i < L; ++i) {
            if (span <= 0.0f) {
                for (int c = 0; c < 4; ++c) out[i][c] = 0.0f;
                continue;
            }
            const float pos = (float(i) * span) * step + start;
            const int k = int(pos);
            const float f = pos - float(k);
            for (int c = 0; c < 4; ++c) out[i][c] = (acc[k + 1][c] - acc[k][c]) * f + acc[k][c];
        }
    }

    static void fadeAlpha(float& alpha, int n, int clear, float step) {
        if (n < clear) {
            alpha = 0.0f;
            return;
        }
        const float t = float(n - clear) * step;
        alpha = ((3.0f - (t + t)) * (t * t)) * alpha;
    }

    void fades(Cells& buf, int L) const {
        const int startCells = int((p.fadeStart * (p.intensity * 0.0002)) * double(L));
        const int endCells = int((p.fadeEnd * (p.intensity * 0.0002)) * double(L));
        const int sr = std::min(startCells, L), sc = std::max(0, startCells - L);
        const int er = std::min(endCells, L), ec = std::max(0, endCells - L);
        if (sr > 0) {
            int j0 = 0;
            while (j0 < L && buf[j0][0] == 0.0f) ++j0;
            for (int n = 0; n < sr && j0 + n < L; ++n) fadeAlpha(buf[j0 + n][0], n, sc, 1.0f / float(sr));
        }
        if (er > 0) {
            int j1 = L - 1;
            while (j1 >= 0 && buf[j1][0] == 0.0f) --j1;
            for (int n = 0; n < er && j1 - n >= 0; ++n) fadeAlpha(buf[j1 - n][0], n, ec, 1.0f / float(er));
        }
    }

    void render(const Image<const Channel>& in, const Image<Channel>& out, bool wrap) {
        tables();
        if (p.shading != 0) shading();
        const int W = int(out.width), H = int(out.height);
        const bool columns = (p.direction & ~1) == 2;
        const int L = columns ? H : W, count = columns ? W : H;
        grid(L, count);
        if (census != nullptr) *census = RunCensus{L, wrap, {}, {}};
        auto acc = std::make_unique<Cells>();
        auto stretched = std::make_unique<Cells>();
        for (int n = 0; n < count; ++n) {
            int g;
            float f;
            lineStart(n, g, f);
            if (velocityLayer.pixels) velocityLayer.beginLine(p.direction, n);
            if (spreadLayer.pixels) spreadLayer.beginLine(p.direction, n);
            *acc = Cells{};
            std::vector<const Channel*> src(L);
            std::vector<Channel*> dst(L);
            for (int i = 0; i < L; ++i) {
                int x, y;
                switch (p.direction) {
                case 0: x = i, y = n; break;
                case 1: x = W - 1 - i, y = n; break;
                case 2: x = n, y = i; break;
                default: x = n, y = H - 1 - i; break;
                }
                src[i] = in.at(x, y);
                dst[i] = out.at(x, y);
            }
            const int depositEnd = deposit(*acc, src, g, f, wrap);
            if (census != nullptr) census->lineEnds.push_back(census->runs.size());
            const int E = wrap ? L : std::min(depositEnd + 1, kCells);
            normalize(*acc, E);
            if (p.outputContinuity != 0) fill(*acc, E);
            Cells* buf = acc.get();
            if (p.fullscreenStretch > 0.0 || p.offscreenReach > 0.0) {
                stretch(*acc, *stretched, L);
                buf = stretched.get();
            }
            fades(*buf, L);
            for (int i = 0; i < L; ++i) {
                for (int c = 0; c < 4; ++c) dst[i][c] = store<Channel>((*buf)[i][c]);
            }
        }
    }
};

}  // namespace

float literalCellShade(const float* shadingTable, ShadedCellKind kind, float length, float consumed, float share,
                       ShadeForm form) {
    float position[10] = {};
    if (length > 0.0f) {
        const double L = double(length);
        const bool multiplying = form == ShadeForm::kMultiplying;
        const auto tenth = [&](float width) {
            return multiplying ? float(double(width) * 0.1) : float(double(width) / 10.0);
        };
        if (kind == ShadedCellKind::FirstPartial) {
            if (multiplying) {
                const float q = float(double(share) * 255.0 / L);
                const float h = tenth(q);
                for (int k = 0; k < 10; ++k) position[k] = float(k) * h;
            } else {
                const float q = float(double(share) * (255.0 / L));
                runningPositions(position, 0.0f, tenth(q));
            }
        } else if (kind == ShadedCellKind::Whole) {
            const double u = 255.0 / L;
            const float a0 = float(double(consumed) * u);
            const float a1 = float(double(consumed + 1.0f) * u);
            runningPositions(position, a0, tenth(a1 - a0));
        } else {
            const float b0 = multiplying ? float(double(consumed) * 255.0 / L) : float(double(consumed) * (255.0 / L));
            runningPositions(position, b0, tenth(255.0f - b0));
        }
    }
    return shadeOfPositions(shadingTable, position, form);
}

template <class Channel>
void literalMelt(const PF_LayerDef& input, const PF_LayerDef& output, const ParamValues& params, float scale,
                 RunCensus* census) {
    auto reference = std::make_unique<Reference<Channel>>();
    reference->p = params;
    reference->scale = scale;
    reference->census = census;
    const int64_t W = output.width, H = output.height;
    if (layerPresent(params.velocitySourceLayer)) {
        reference->velocityLayer =
            LayerReference<Channel>(*params.velocitySourceLayer, output.origin_x, output.origin_y, W, H);
    }
    if (layerPresent(params.spreadSourceLayer)) {
        reference->spreadLayer =
            LayerReference<Channel>(*params.spreadSourceLayer, output.origin_x, output.origin_y, W, H);
    }
    reference->render(Image<const Channel>(input), Image<Channel>(output), params.wrap != 0);
}

template void literalMelt<uint8_t>(const PF_LayerDef&, const PF_LayerDef&, const ParamValues&, float, RunCensus*);
template void literalMelt<uint16_t>(const PF_LayerDef&, const PF_LayerDef&, const ParamValues&, float, RunCensus*);
template void literalMelt<float>(const PF_LayerDef&, const PF_LayerDef&, const ParamValues&, float, RunCensus*);
