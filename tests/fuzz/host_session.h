// The host of one fuzz input: the stand-in host with the effect linked in, one
// frame's records and layers, and the host's own view of what it owns (the
// instance's sequence block and the pending frame's pre-render data). It runs the
// input's steps and, after every command, checks that the effect gave back all it
// took, changed nothing it was only lent, wrote only its output's pixels and
// answered a code the command may answer. A violation aborts, so the fuzzer
// reports it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/pf_effect.h"
#include "platform/pf_suites.h"
#include "tests/fuzz/fuzz_script.h"
#include "tests/fuzz/host_layer.h"
#include "tools/standin_host/frame_host.h"
#include "tools/standin_host/standin_host.h"
#include "tools/standin_host/world_formats.h"

namespace fuzz {

class HostSession {
public:
    // Registration, global setup and parameter setup, as a host starts an effect.
    explicit HostSession(const HostPlan& plan);
    // Finishes a pending frame and lets go of the instance's block.
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    void run(const Step& step);

private:
    enum Layer { kOutput, kInput, kVelocitySource, kSpreadSource, kLayers };

    void sendCommand(PF_Cmd cmd, void* extra, PF_ParamDef** params, PF_LayerDef* output);
    void paramsSetup();
    void useFrame(const FramePlan& plan);
    void placeLayers();
    void setParam(const ParamSetting& setting);
    void sendEvent(const EventPlan& plan);
    void smartPreRender(uint8_t flags);
    void smartRender(uint8_t flags);
    void finishFrame();
    void handInBlock(uint16_t size, uint8_t fill);

    // Host index of the parameter the host registered under id; 0 for none.
    int32_t hostIndexOf(int32_t id) const;
    bool renders(PF_Cmd cmd) const;
    // The depth a render command renders the output at: the one the input's world
    // format names in smart render, the output's format in the render command.
    int renderBits(PF_Cmd cmd) const;
    void takeSequenceData(PF_Cmd cmd, PF_Handle before);
    void checkBalances() const;
    void checkHandles() const;
    [[noreturn]] void violated(const std::string& what) const;
    void expect(bool holds, const std::string& what) const {
        if (!holds) violated(what);
    }

    HostPlan plan_;
    bool trace_;
    StandInHost host_;
    standin::WorldFormats formats_{host_.log};
    std::unique_ptr<standin::FrameHost> frame_;
    std::unique_ptr<HostLayer> layers_[kLayers];
    std::map<int32_t, ParamSetting> settings_;  // by parameter id, kept across parameter setups
    int32_t inputWorldFormat_ = PF_PixelFormat_INVALID;   // what the suites answer, as far as they answer
    int32_t outputPremiereFormat_ = PrPixelFormat_ARGB_4444_8u;
    std::vector<uint8_t> block_;                // the instance's sequence block as the host last saw it
    std::string step_;                          // what runs, for the report of a violation
    int renders_ = 0;
    int64_t renderLines_ = 0;
};

}  // namespace fuzz
