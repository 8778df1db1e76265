// The fuzz target: one input is one host session (see fuzz_script.h for the byte
// format and host_session.h for what is checked after every command).
#include <cstddef>
#include <cstdint>

#include "host/params/param_map.h"
#include "host/ui/custom_ui.h"
#include "tests/fuzz/fuzz_script.h"
#include "tests/fuzz/host_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Script script = fuzz::decodeScript(data, size);
    // The effect's process-wide state starts afresh, so that a finding replays
    // from its input alone.
    lastClickTime = kNoBannerClick;
    publishParamIdMap(ParamIdMap{});
    fuzz::HostSession session(script.host);
    for (const fuzz::Step& step : script.steps) session.run(step);
    return 0;
}
