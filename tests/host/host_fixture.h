// Test fixtures around the stand-in host: one with the effect module loaded, and
// one without a module for calling the host-side functions directly.
#pragma once

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "tools/standin_host/standin_host.h"

// Compares the output data's message buffer with a text.
inline std::string returnMessage(const PF_OutData& out_data) {
    return std::string(out_data.return_msg, strnlen(out_data.return_msg, sizeof out_data.return_msg));
}

inline bool sameRect(const PF_LRect& a, const PF_LRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class ModuleTest : public ::testing::Test {
protected:
    StandInHost host{ONDRAVA_MODULE_PATH};
};

class HostFunctionTest : public ::testing::Test {
protected:
    StandInHost host;
};
