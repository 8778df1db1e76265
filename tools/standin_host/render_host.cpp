#include "tools/standin_host/render_host.h"

#include <cstring>

#include "platform/pf_suites.h"

namespace standin {

std::string commandFailure(const char* command, PF_Err err, const PF_OutData& out) {
    std::string message = std::string(command) + " failed with code " + std::to_string(err);
    const std::string text(out.return_msg, strnlen(out.return_msg, sizeof out.return_msg));
    if (!text.empty()) message += ": " + text;
    return message;
}

RenderHost::RenderHost(const std::string& modulePath) : host(modulePath), module(host.module()) {
    host.suites.provide(kPFWorldSuite, kPFWorldSuiteVersion2, formats.worldSuite());
    host.suites.provide(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, formats.pixelFormatSuite());
}

std::string RenderHost::setUp() {
    if (PF_Err err = host.registerEffect(); err != PF_Err_NONE) {
        return commandFailure("registration", err, host.out_data);
    }
    if (PF_Err err = host.send(PF_Cmd_GLOBAL_SETUP); err != PF_Err_NONE) {
        return commandFailure("global setup", err, host.out_data);
    }
    if (afterSetupCommand) afterSetupCommand(host.out_data);
    if (PF_Err err = host.send(PF_Cmd_PARAMS_SETUP); err != PF_Err_NONE) {
        return commandFailure("parameter setup", err, host.out_data);
    }
    if (afterSetupCommand) afterSetupCommand(host.out_data);
    registered = host.params.paramsFromRegistration();
    popupItems = host.params.addedPopupItems;
    popupItems.insert(popupItems.begin(), "");  // the input layer's
    return "";
}

int32_t RenderHost::indexOf(const std::string& name) const {
    for (size_t i = 1; i < registered.size(); ++i) {
        if (name == std::string(registered[i].name, strnlen(registered[i].name, sizeof registered[i].name))) {
            return int32_t(i);
        }
    }
    return -1;
}

PF_InData RenderHost::frameInData(int32_t width, int32_t height) const {
    PF_InData in_data = host.in_data;
    in_data.width = width;
    in_data.height = height;
    in_data.extent_hint = PF_LRect{0, 0, width, height};
    return in_data;
}

}  // namespace standin
