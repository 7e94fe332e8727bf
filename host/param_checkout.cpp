// in_data's parameter check-out and check-in: a control's record with its
// value at a time; a layer control bound to footage comes with the layer's
// pixels, which stay valid until the record is checked in.
#include <cstring>
#include <iterator>
#include <string>

#include "host/call_site.h"
#include "host/host.h"
#include "host/host_state.h"

namespace lumeshade::host {
namespace {

PF_Err CheckoutParam(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time, A_long,
                     A_u_long time_scale, PF_ParamDef* param) {
    if (const A_long err = CountCall<"checkout_param">()) return err;
    HostState& s = Host::Current().State();
    if (effect_ref != s.EffectRef() || param == nullptr || time_scale == 0) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    std::lock_guard<std::mutex> lock(s.mutex);
    if (index < 0 || size_t(index) >= s.current.size()) return PF_Err_INVALID_INDEX;
    const double frame = s.render.comp.FrameAt(double(what_time), double(time_scale));
    PF_ParamDef rec = size_t(index) < s.render.tracks.size() ? ParamRecordAtLocked(s, index, frame)
                                                             : s.current[size_t(index)];

    ParamCheckout checkout;
    checkout.record = param;
    checkout.index = index;
    if (rec.param_type == PF_Param_LAYER) {
        const PF_LayerDef value = rec.u.ld;
        rec.u.ld = PF_LayerDef{};
        if (const World* footage = ParamFootageLocked(s, index, frame)) {
            checkout.world = LayerWorldLocked(s, *footage);
            rec.u.ld = checkout.world->Def();
            HandOutLocked(s, *checkout.world);
        }
        rec.u.ld.reserved0 = value.reserved0;  // which layer is chosen
        rec.u.ld.dephault = value.dephault;
    }
    *param = rec;
    s.render.paramCheckouts.push_back(std::move(checkout));
    return PF_Err_NONE;
}

// A record is known by the pixels it carries (a module may check in a copy
// of the record) or else by its address; the latest check-out wins.
PF_Err CheckinParam(PF_ProgPtr effect_ref, PF_ParamDef* param) {
    if (const A_long err = CountCall<"checkin_param">()) return err;
    HostState& s = Host::Current().State();
    if (effect_ref != s.EffectRef() || param == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    std::lock_guard<std::mutex> lock(s.mutex);
    auto& open = s.render.paramCheckouts;
    auto found = open.end();
    if (param->param_type == PF_Param_LAYER && param->u.ld.data != nullptr) {
        for (auto it = open.rbegin(); it != open.rend(); ++it) {
            if (it->world && it->world->Def().data == param->u.ld.data) {
                found = std::prev(it.base());
                break;
            }
        }
    }
    if (found == open.end()) {
        for (auto it = open.rbegin(); it != open.rend(); ++it) {
            if (it->record == param) {
                found = std::prev(it.base());
                break;
            }
        }
    }
    if (found == open.end()) {
        s.Violation(std::string("checked in a parameter that is not checked out: \"") +
                    std::string(param->name, strnlen(param->name, sizeof param->name)) + "\"");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (found->world) TakeBackLocked(s, found->world->Def().data);
    open.erase(found);
    return PF_Err_NONE;
}

}  // namespace

void InstallCheckoutCallbacks(PF_InteractCallbacks& inter) {
    inter.checkout_param = CheckoutParam;
    inter.checkin_param = CheckinParam;
}

int Host::OpenParamCheckouts() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return int(state_->render.paramCheckouts.size());
}

int Host::OpenLayerParamCheckouts() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    int n = 0;
    for (const ParamCheckout& c : state_->render.paramCheckouts) {
        const size_t i = size_t(c.index);
        n += i < state_->current.size() && state_->current[i].param_type == PF_Param_LAYER;
    }
    return n;
}

}  // namespace lumeshade::host
