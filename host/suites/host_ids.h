// The application id by which the editing host tells itself apart; every other
// id is the compositing host's.
#pragma once

#include <cstdint>

#include "platform/four_char_code.h"

constexpr int32_t kApplIdPremierePro = fourCharCode('P', 'r', 'M', 'r');
