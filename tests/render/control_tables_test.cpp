// The control table, the visibility rules and the read table describe the
// same controls from three sides; these checks derive each group from the
// control table and fail when one side forgets a control the others know.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "params/param_table.h"
#include "params/visibility_rules.h"
#include "render/gather_lights.h"
#include "render/map_layers.h"
#include "render/read_table.h"

namespace lumeshade {
namespace {

// The group each control sits in (PARAM_INPUT for the top level), and the
// members of each group, as the control table nests them.
struct Groups {
    std::map<ParamId, ParamId> of;
    std::map<ParamId, std::set<ParamId>> members;
};

Groups GroupsOfTheTable() {
    Groups g;
    ParamId open = PARAM_INPUT;
    for (const ControlRow& row : kControls) {
        if (row.type == PF_Param_GROUP_START) {
            EXPECT_EQ(open, PARAM_INPUT) << row.identifier << ": groups do not nest";
            open = row.index;
        } else if (row.type == PF_Param_GROUP_END) {
            open = PARAM_INPUT;
        } else {
            g.of[row.index] = open;
            g.members[open].insert(row.index);
        }
    }
    return g;
}

bool IsGroupMark(const ControlRow& row) {
    return row.type == PF_Param_GROUP_START || row.type == PF_Param_GROUP_END;
}

PF_ParamType TypeReadBy(Conv conv) {
    switch (conv) {
        case Conv::kChoice:
        case Conv::kChoicePlusOne:
            return PF_Param_POPUP;
        case Conv::kIntegerPlusOne:
            return PF_Param_SLIDER;
        case Conv::kSwitch:
            return PF_Param_CHECKBOX;
        case Conv::kColor255:
        case Conv::kColor127:
            return PF_Param_COLOR;
        case Conv::kPoint:
            return PF_Param_POINT;
        case Conv::kDegrees:
        case Conv::kWholeDegrees:
            return PF_Param_ANGLE;
        default:
            return PF_Param_FIX_SLIDER;
    }
}

TEST(ControlTablesTest, EachVisibilityRuleGovernsItsGroupBarItsSwitch) {
    const Groups groups = GroupsOfTheTable();
    std::set<ParamId> groupsWithRules;
    for (const VisibilityRule& rule : VisibilityRules()) {
        const ParamId group = groups.of.at(rule.switchControl);
        ASSERT_NE(group, PARAM_INPUT) << Control(rule.switchControl).identifier;
        EXPECT_TRUE(groupsWithRules.insert(group).second) << "two rules for one group";
        std::set<ParamId> expected = groups.members.at(group);
        expected.erase(rule.switchControl);
        const std::set<ParamId> governed(rule.governed.begin(), rule.governed.end());
        EXPECT_EQ(governed.size(), rule.governed.size()) << "a control governed twice";
        EXPECT_EQ(governed, expected) << Control(rule.switchControl).identifier;
    }
}

// Every control but the group marks reaches the render once: read into the
// context, read by light gathering, or (a layer) checked out as a map.
TEST(ControlTablesTest, EveryControlReachesTheRenderOnce) {
    std::map<ParamId, int> reads;
    for (const ParamId id : kGatheredControls) ++reads[id];
    for (const MapLayer& layer : kMapLayers) {
        ++reads[layer.id];
        EXPECT_EQ(Control(layer.id).type, PF_Param_LAYER) << Control(layer.id).identifier;
        for (const MapLayer& other : kMapLayers) {
            EXPECT_TRUE(&other == &layer || other.member != layer.member)
                << Control(layer.id).identifier << " shares its map member";
        }
    }
    std::vector<const ControlRead*> all;
    for (const ReadBlock& block : ReadBlocks()) {
        for (const ControlRead& r : block.reads) {
            ++reads[r.id];
            all.push_back(&r);
            EXPECT_EQ(Control(r.id).type, TypeReadBy(r.conv)) << Control(r.id).identifier;
        }
    }
    for (const ControlRow& row : kControls) {
        EXPECT_EQ(reads[row.index], IsGroupMark(row) ? 0 : 1) << row.identifier;
    }
    // No two controls are stored into one member.
    const auto same = [](auto a, auto b) { return a != nullptr && a == b; };
    for (size_t i = 0; i < all.size(); ++i) {
        for (size_t j = i + 1; j < all.size(); ++j) {
            const ControlRead &a = *all[i], &b = *all[j];
            const bool shared = same(a.real, b.real) || same(a.flag, b.flag) ||
                                same(a.color, b.color) || same(a.integer, b.integer) ||
                                same(a.integer, b.integerY) || same(a.integerY, b.integer) ||
                                same(a.integerY, b.integerY);
            EXPECT_FALSE(shared) << Control(a.id).identifier << ", " << Control(b.id).identifier;
        }
    }
}

TEST(ControlTablesTest, EachReadBlockIsSwitchedByItsGroupsRule) {
    const Groups groups = GroupsOfTheTable();
    std::set<ParamId> switches;
    for (const VisibilityRule& rule : VisibilityRules()) switches.insert(rule.switchControl);
    for (const ReadBlock& block : ReadBlocks()) {
        if (block.enable == nullptr) continue;
        // The switch is the control read, unconditionally, into `enable`.
        std::vector<ParamId> found;
        for (const ReadBlock& other : ReadBlocks()) {
            for (const ControlRead& r : other.reads) {
                if (r.flag == block.enable) {
                    found.push_back(r.id);
                    EXPECT_EQ(other.enable, nullptr) << Control(r.id).identifier;
                }
            }
        }
        ASSERT_EQ(found.size(), 1u);
        const ParamId sw = found[0];
        EXPECT_EQ(switches.count(sw), 1u) << Control(sw).identifier << " switches no rule";
        for (const ControlRead& r : block.reads) {
            EXPECT_EQ(groups.of.at(r.id), groups.of.at(sw))
                << Control(r.id).identifier << " is read under " << Control(sw).identifier;
        }
    }
}

}  // namespace
}  // namespace lumeshade
