// The link between the effect's parameter ids and the host's indices (the
// position in the host's parameter array, 0 being the input layer).
//
// Parameter setup builds a new map aside and publishes it in one step; render
// threads only ever read a complete, immutable map, and take no lock to do so.
#pragma once

#include <array>
#include <cstdint>

#include "host/params/param_ids.h"
#include "platform/pf_effect.h"

class ParamIdMap {
public:
    // Records id with the next host index (1 for the first id recorded).
    void addParam(int32_t id);
    // The host index of id, 0 for an id that was not recorded.
    int32_t indexOf(int32_t id) const;
    int32_t size() const { return size_; }
    bool operator==(const ParamIdMap& other) const;

private:
    std::array<int32_t, ParamId::kCount + 1> index_{};
    int32_t size_ = 0;
};

// Makes map the one every later lookup sees. Equal maps are published as one
// shared copy, so repeated setups cost nothing and no published map is ever freed
// while the module is loaded.
void publishParamIdMap(const ParamIdMap& map);

// The map of the latest parameter setup (empty before the first).
const ParamIdMap& paramIdToIndex();

int32_t getParamIndexFromId(int32_t id);

// Throws std::logic_error when the published map does not hold reportedCount - 1
// ids: the count reported to the host must match what the host holds.
void verifyNumParams(int32_t reportedCount);

// The value record of parameter id at the command's current time: the host's own
// entry when params is given, else checked out into scratch, which the caller
// then owns and checks in. A failing checkout throws the host's code.
PF_ParamDef* getParam(const PF_InData* in_data, PF_ParamDef** params, int32_t id,
                      PF_ParamDef* scratch);

// Checks layer parameter id out into out (always through the host's checkout).
PF_ParamDef* getLayerParam(const PF_InData* in_data, int32_t id, PF_ParamDef* out);
