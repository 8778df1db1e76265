#include "host/suites/return_message.h"

#include <cstdio>

void writeReturnMessage(PF_OutData* out_data, const char* message) {
    std::snprintf(out_data->return_msg, sizeof out_data->return_msg, "%s", message);
}

void reportError(const PF_InData* in_data, PF_OutData* out_data, const char* message) {
    out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
    // The message goes in as an argument, never as the format: a stray '%' in it
    // must not make the host read arguments that were never passed.
    if (in_data != nullptr && in_data->utils != nullptr && in_data->utils->ansi.sprintf != nullptr) {
        in_data->utils->ansi.sprintf(out_data->return_msg, "%s", message);
    } else {
        writeReturnMessage(out_data, message);
    }
}
