// The stand-in host with the effect module set up to render frames, as a host
// sets it up: the world and pixel-format suites provided, registration, global
// setup and parameter setup run, and what parameter setup registered kept as the
// host's parameter array. The render tool and the render-road tests share it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/pf_effect.h"
#include "tools/standin_host/module_loader.h"
#include "tools/standin_host/standin_host.h"
#include "tools/standin_host/world_formats.h"

namespace standin {

// "global setup failed with code 5: <the effect's message>"
std::string commandFailure(const char* command, PF_Err err, const PF_OutData& out);

class RenderHost {
public:
    // Throws std::runtime_error when the module cannot be loaded.
    explicit RenderHost(const std::string& modulePath);
    RenderHost(const RenderHost&) = delete;
    RenderHost& operator=(const RenderHost&) = delete;

    // Registration, global setup and parameter setup. Returns "" or a message.
    std::string setUp();

    // Host index of the parameter registered under this display name; -1 for none.
    int32_t indexOf(const std::string& name) const;

    // The instance's input data for a frame of width x height.
    PF_InData frameInData(int32_t width, int32_t height) const;

    // Told after each setup command that succeeded, with what the effect left in the
    // host's output data (a message among it).
    std::function<void(PF_OutData&)> afterSetupCommand;

    StandInHost host;
    const LoadedModule& module;  // the host's own: loaded once
    WorldFormats formats{host.log};
    std::vector<PF_ParamDef> registered;   // from setUp: index 0 the input layer
    std::vector<std::string> popupItems;   // by host index; "" for all but popups
};

}  // namespace standin
