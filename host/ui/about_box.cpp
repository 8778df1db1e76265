#include "host/ui/about_box.h"

#include <cstdio>

#include "resources/registration.h"

void presentAboutBox(PF_OutData* out_data) {
    std::snprintf(out_data->return_msg, sizeof out_data->return_msg, "%s %u.%u.%u", registration::kDisplayName,
                  unsigned(registration::kMajorVersion), unsigned(registration::kMinorVersion),
                  unsigned(registration::kFixVersion));
}
