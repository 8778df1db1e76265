// Everything the measured layout files speak of: our declarations of the host's
// interface, the ParamValues record the effect keeps in the host's handles, and
// the flag words it reports in global setup.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "platform/abi/layout_traits.h"
#include "platform/drawbot.h"
#include "platform/pf_custom_ui.h"
#include "platform/pf_effect.h"
#include "platform/pf_entry.h"
#include "platform/pf_flags.h"
#include "platform/pf_smart_render.h"
#include "platform/pf_suites.h"
#include "platform/sp_basic_suite.h"
#include "render/param_values.h"
#include "resources/registration.h"
