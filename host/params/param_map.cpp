#include "host/params/param_map.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "host/suites/messages.h"

void ParamIdMap::addParam(int32_t id) {
    if (id < 1 || id > ParamId::kCount || index_[id] != 0) return;
    index_[id] = ++size_;
}

int32_t ParamIdMap::indexOf(int32_t id) const {
    if (id < 1 || id > ParamId::kCount) return 0;
    return index_[id];
}

bool ParamIdMap::operator==(const ParamIdMap& other) const {
    return size_ == other.size_ && index_ == other.index_;
}

namespace {

const ParamIdMap kEmptyMap;
std::atomic<const ParamIdMap*> currentMap{&kEmptyMap};

// Every map ever published stays alive until unload, because a render thread may
// still be reading an older one. There are only a handful of distinct maps (one
// per host flavour), so equal maps share one copy.
struct PublishedMaps {
    std::mutex mutex;
    std::vector<std::unique_ptr<const ParamIdMap>> maps;
};

PublishedMaps& publishedMaps() {
    static PublishedMaps published;
    return published;
}

}  // namespace

void publishParamIdMap(const ParamIdMap& map) {
    PublishedMaps& published = publishedMaps();
    std::lock_guard<std::mutex> lock(published.mutex);
    const ParamIdMap* chosen = nullptr;
    for (const auto& kept : published.maps) {
        if (*kept == map) chosen = kept.get();
    }
    if (chosen == nullptr) {
        published.maps.push_back(std::make_unique<const ParamIdMap>(map));
        chosen = published.maps.back().get();
    }
    currentMap.store(chosen, std::memory_order_release);
}

const ParamIdMap& paramIdToIndex() { return *currentMap.load(std::memory_order_acquire); }

int32_t getParamIndexFromId(int32_t id) { return paramIdToIndex().indexOf(id); }

void verifyNumParams(int32_t reportedCount) {
    if (paramIdToIndex().size() != reportedCount - 1) {
        throw std::logic_error(messages::kParamCountMismatch);
    }
}

static PF_ParamDef* checkoutAt(const PF_InData* in_data, int32_t index, PF_ParamDef* out) {
    const PF_Err err = in_data->inter.checkout_param(in_data->effect_ref, index, in_data->current_time,
                                                     in_data->time_step, in_data->time_scale, out);
    if (err != PF_Err_NONE) throw err;
    return out;
}

PF_ParamDef* getParam(const PF_InData* in_data, PF_ParamDef** params, int32_t id,
                      PF_ParamDef* scratch) {
    const int32_t index = getParamIndexFromId(id);
    if (params != nullptr) return params[index];
    return checkoutAt(in_data, index, scratch);
}

PF_ParamDef* getLayerParam(const PF_InData* in_data, int32_t id, PF_ParamDef* out) {
    return checkoutAt(in_data, getParamIndexFromId(id), out);
}
