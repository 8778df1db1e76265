#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "host/params/param_map.h"

namespace {

ParamIdMap mapOf(std::vector<int32_t> ids) {
    ParamIdMap map;
    for (int32_t id : ids) map.addParam(id);
    return map;
}

TEST(ParamIdMap, IndicesFollowTheOrderOfRecording) {
    const ParamIdMap map = mapOf({2, 5, 3});
    EXPECT_EQ(map.indexOf(2), 1);
    EXPECT_EQ(map.indexOf(5), 2);
    EXPECT_EQ(map.indexOf(3), 3);
    EXPECT_EQ(map.indexOf(4), 0);
    EXPECT_EQ(map.size(), 3);
}

TEST(ParamIdMap, IgnoresIdsOutsideTheTableAndRepeats) {
    const ParamIdMap map = mapOf({0, 51, -3, 7, 7});
    EXPECT_EQ(map.size(), 1);
    EXPECT_EQ(map.indexOf(7), 1);
    EXPECT_EQ(map.indexOf(51), 0);
}

TEST(ParamIdMap, EqualMapsArePublishedAsOneCopy) {
    publishParamIdMap(mapOf({1, 2, 3}));
    const ParamIdMap* first = &paramIdToIndex();
    publishParamIdMap(mapOf({2, 3}));
    EXPECT_NE(&paramIdToIndex(), first);
    publishParamIdMap(mapOf({1, 2, 3}));
    EXPECT_EQ(&paramIdToIndex(), first);
}

// Render threads look indices up while parameter setup publishes again: every
// lookup sees one complete map, never an empty or half-built one.
TEST(ParamIdMap, ReadersNeverSeeAPartialMap) {
    std::vector<int32_t> all, withoutBanner;
    for (int32_t id = 1; id <= 50; ++id) {
        all.push_back(id);
        if (id != 1) withoutBanner.push_back(id);
    }
    const ParamIdMap full = mapOf(all), editing = mapOf(withoutBanner);
    publishParamIdMap(full);
    std::atomic<bool> stop{false};
    std::atomic<int32_t> inconsistent{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                const ParamIdMap& map = paramIdToIndex();
                const bool complete = (map.size() == 50 || map.size() == 49) &&
                                      map.indexOf(50) == map.size();
                if (!complete) ++inconsistent;
            }
        });
    }
    for (int round = 0; round < 20000; ++round) publishParamIdMap(round % 2 ? full : editing);
    stop = true;
    for (std::thread& reader : readers) reader.join();
    EXPECT_EQ(inconsistent.load(), 0);
}

}  // namespace
