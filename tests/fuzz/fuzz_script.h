// What one fuzz input asks of the host: which host it is, which of its calls
// fails, and a bounded list of steps, each a command sent to EffectMain or a
// change the host makes between commands.
//
// The byte format. Integers are little-endian; an input that ends early reads as
// if zeros followed. One layout (the transfer() functions below) is used both to
// read an input and, for the corpus, to write one.
//
//   header   u8 host       bit 0: Premiere Pro, else After Effects; bit 1: the
//                          effect API version is major.minor below, else 13.27
//            i8 major, i8 minor
//            u16 failing   the host call (counted from 1 over every call that
//                          can fail) that fails with kInjectedFailure; 0 none
//   steps    until the input ends, at most kMaxSteps: one u8 op (taken modulo
//            the number of ops) and its arguments:
//     Command           i32 cmd: sent with no extra record (any number)
//     About, GlobalSetup, ParamsSetup, SequenceSetup, SequenceResetup,
//     SequenceFlatten, SequenceSetdown, GetFlattenedSequenceData,
//     UpdateParamsUI, FinishFrame                     no arguments
//     HostBlock         u16 size (at most kMaxBlockBytes), u8 fill: the host
//                       hands in a sequence block of its own, e.g. from a project
//     Render            u8 flags: bit 0 no parameter array, bit 1 no output
//     UserChangedParam  u8 flags (bit 0 no extra record), i32 param_index
//     Event             EventPlan
//     SmartPreRender    u8 flags: bit 0 no extra record, bit 1 empty request,
//                       bit 2 the output's rectangles arrive non-empty
//     SmartRender       u8 flags: bit 0 no extra record
//     SetParam          u8 id (modulo 50, plus 1), u8 kind, and u64 raw for the
//                       kinds Raw and Small: see ValueKind
//     Frame             FramePlan: the layers of the frames that follow
//
// FinishFrame calls the delete function smart pre-render handed over, as a host
// does once a frame is done; a new pre-render finishes the frame before it. Render
// commands (11 and 24, however sent) run while an input has rendered fewer than
// kMaxRenders frames and kMaxRenderLines lines (the output's longer side counted
// per frame); later ones are skipped. A line costs up to a line buffer's work and
// a pixel's run up to as much again: one frame of 20,000 lines, or one line of
// 16,384 pixels with the longest runs, takes some 30 seconds under the sanitizers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzz {

constexpr size_t kMaxSteps = 48;
constexpr int kMaxRenders = 4;
constexpr int64_t kMaxRenderLines = 24000;
// Every layer holds at most this many pixels, and no side is longer (yet longer
// than the effect's 16,384-pixel limit).
constexpr int64_t kMaxLayerPixels = 20000;
constexpr int32_t kMaxLayerSide = 20000;
constexpr uint16_t kMaxBlockBytes = 4096;
// What the failing host call answers.
constexpr int32_t kInjectedFailure = 1717;

enum class Op : uint8_t {
    Command,
    About,
    GlobalSetup,
    ParamsSetup,
    SequenceSetup,
    SequenceResetup,
    SequenceFlatten,
    SequenceSetdown,
    GetFlattenedSequenceData,
    HostBlock,
    Render,
    UserChangedParam,
    UpdateParamsUI,
    Event,
    SmartPreRender,
    SmartRender,
    FinishFrame,
    SetParam,
    Frame,
    kCount
};

inline Op opOf(uint8_t byte) { return Op(byte % uint8_t(Op::kCount)); }

struct HostPlan {
    uint8_t flags = 0;
    int8_t major = 13;
    int8_t minor = 27;
    uint16_t failingCall = 0;

    bool premiere() const { return (flags & 1) != 0; }
    bool ownVersion() const { return (flags & 2) != 0; }
};

// One layer the host hands out: the output, the input or a source layer.
struct LayerPlan {
    uint8_t presence = 2;  // 0 none handed out, 1 a record without pixels, else pixels
    uint16_t width = 16;   // at most kMaxLayerSide; the height is cut to kMaxLayerPixels
    uint16_t height = 9;
    uint8_t depth = 0;      // modulo 3: 8, 16 or 32 bits a channel (what the bytes are)
    uint8_t pitchMode = 0;  // PitchMode in the low bits; bit 7: rows run upward (negative)
    uint8_t pitchBytes = 0;
    uint8_t fill = 3;       // Fill, modulo 4
};

// Row bytes from the row's pixels: exactly, padded or short by pitchBytes, or 0.
enum PitchMode : uint8_t { kExactPitch, kPaddedPitch, kShortPitch, kZeroPitch, kPitchModes };
constexpr uint8_t kUpwardRows = 0x80;

enum Fill : uint8_t { kZeroBytes, kFullBytes, kNoise, kRamp, kFills };

// What a suite reports as a layer's pixel format (modulo 8): the suite's code of
// the layer's depth; the suite's 8-, 16- or float code; the other suite's code of
// the layer's depth; "badf"; the raw code; or nothing (the query leaves the
// caller's code).
enum FormatAnswer : uint8_t {
    kFormatOfDepth,
    kFormat8,
    kFormat16,
    kFormat32,
    kOtherSuitesFormat,
    kInvalidFormat,
    kRawFormat,
    kUnanswered,
    kFormatAnswers
};

struct FramePlan {
    LayerPlan output;
    LayerPlan input;
    LayerPlan velocitySource{0};
    LayerPlan spreadSource{0};
    uint8_t inputFormat = kFormatOfDepth;   // the world suite's answer (smart render asks of the input)
    uint8_t outputFormat = kFormatOfDepth;  // the pixel-format suite's (the render command asks of the output)
    uint32_t rawFormat = 0;
    int8_t downsampleNum = 1;   // -128: INT32_MIN, 127: INT32_MAX
    uint8_t downsampleDen = 1;  // 255: UINT32_MAX
    int16_t originX = 0;        // the output's origin
    int16_t originY = 0;
};

// The event's parameter (modulo 4): the banner, the velocity graph, the spread
// graph, or the host index target / 4 (signed).
enum EventTarget : uint8_t { kBannerTarget, kVelocityGraphTarget, kSpreadGraphTarget, kRawTarget, kEventTargets };

struct EventPlan {
    uint8_t flags = 0;  // bit 0 no extra record, bit 1 no parameter array
    int8_t type = 4;    // PF_Event_*: 2 click, 4 draw
    uint8_t target = kBannerTarget;
    int8_t area = 1;    // PF_EA_*: 1 title, 2 control
    uint32_t when = 0;
    int16_t left = 0, top = 0;            // the control frame's corner
    int16_t titleLeft = 0, titleTop = 0;  // the title frame's corner
};

// A parameter value (modulo 6), given as an integer parameter takes it / as a
// float slider takes it.
enum ValueKind : uint8_t {
    kRawValue,  // low 32 bits of raw / raw's bits as a double
    kLowest,    // INT32_MIN / -infinity
    kHighest,   // INT32_MAX / +infinity
    kZeroOrNaN, // 0 / NaN
    kMinusOne,  // -1 / the largest negative double
    kSmall,     // raw's low byte as a signed number, either way
    kValueKinds
};

struct ParamSetting {
    uint8_t id = 0;
    uint8_t kind = kRawValue;
    uint64_t raw = 0;

    int32_t paramId() const { return int32_t(id % 50) + 1; }
};

struct Step {
    uint8_t op = 0;
    int32_t command = 0;
    uint8_t flags = 0;
    int32_t index = 0;
    uint16_t blockSize = 0;
    uint8_t blockFill = 0;
    EventPlan event;
    ParamSetting setting;
    FramePlan frame;
};

struct Script {
    HostPlan host;
    std::vector<Step> steps;
};

Script decodeScript(const uint8_t* data, size_t size);
std::vector<uint8_t> encodeScript(const Script& script);

// The one layout of the format, for reading (IO reads into each field) and
// writing (IO writes each field out).
template <class IO>
void transfer(IO& io, HostPlan& s) {
    io(s.flags), io(s.major), io(s.minor), io(s.failingCall);
}

template <class IO>
void transfer(IO& io, LayerPlan& s) {
    io(s.presence), io(s.width), io(s.height), io(s.depth), io(s.pitchMode), io(s.pitchBytes), io(s.fill);
}

template <class IO>
void transfer(IO& io, FramePlan& s) {
    transfer(io, s.output), transfer(io, s.input), transfer(io, s.velocitySource), transfer(io, s.spreadSource);
    io(s.inputFormat), io(s.outputFormat), io(s.rawFormat);
    io(s.downsampleNum), io(s.downsampleDen), io(s.originX), io(s.originY);
}

template <class IO>
void transfer(IO& io, EventPlan& s) {
    io(s.flags), io(s.type), io(s.target), io(s.area), io(s.when);
    io(s.left), io(s.top), io(s.titleLeft), io(s.titleTop);
}

template <class IO>
void transfer(IO& io, ParamSetting& s) {
    io(s.id), io(s.kind);
    if (s.kind % kValueKinds == kRawValue || s.kind % kValueKinds == kSmall) io(s.raw);
}

template <class IO>
void transfer(IO& io, Step& s) {
    io(s.op);
    switch (opOf(s.op)) {
        case Op::Command: io(s.command); break;
        case Op::HostBlock: io(s.blockSize), io(s.blockFill); break;
        case Op::Render:
        case Op::SmartPreRender:
        case Op::SmartRender: io(s.flags); break;
        case Op::UserChangedParam: io(s.flags), io(s.index); break;
        case Op::Event: transfer(io, s.event); break;
        case Op::SetParam: transfer(io, s.setting); break;
        case Op::Frame: transfer(io, s.frame); break;
        default: break;
    }
}

}  // namespace fuzz
