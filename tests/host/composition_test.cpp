// The composition's time: layer offsets, and frames on the host's time grid.
#include "host/composition.h"

#include <gtest/gtest.h>

#include "fake_effect.h"
#include "host/host.h"

namespace lumeshade::host {
namespace {

TEST(CompositionTest, OnlyTheEffectLayerIsOffsetInTime) {
    Composition comp;
    comp.layers.resize(3);
    comp.effectLayer = 1;
    comp.effectLayerOffset = 2.5;
    EXPECT_EQ(comp.LayerOffset(1), 2.5);
    EXPECT_EQ(comp.LayerOffset(0), 0.0);
    EXPECT_EQ(comp.LayerOffset(2), 0.0);
}

// Keys sit at frames, so a time on the grid must give back its frame number
// exactly, or a value held until a key would change one frame late.
TEST(CompositionTest, EveryTimeOnTheGridIsAWholeFrame) {
    testing::Fake() = {};
    Host host(testing::FakeEntry);
    for (const double rate : {24.0, 23.976, 29.97, 59.94, 25.0, 0.5, 1000.0}) {
        host.Comp().frameRate = rate;
        for (int frame = 0; frame <= 200000; frame += 7) {
            host.SetTime(frame / rate);
            const PF_InData& in = host.InData();
            ASSERT_EQ(host.Comp().FrameAt(in.current_time, in.time_scale), frame) << rate;
        }
    }
}

}  // namespace
}  // namespace lumeshade::host
