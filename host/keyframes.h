/// Values that change over time, as a host keeps them: a constant until the
/// first key is set, then keys at frames of the composition. Before the first
/// key its value holds, after the last key the last one; between two keys a
/// value either moves linearly from one to the other or holds the earlier
/// key's value until the next (for values that cannot be blended: switches,
/// choices, layers). Keys sit at frames rather than seconds because a frame
/// of the host's time grid is exact where its seconds are not (frame 7 at
/// 29.97 frames per second): a key at frame 7 is met exactly at frame 7.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

namespace lumeshade::host {

enum class Interpolation { kLinear, kHold };

/// Linear blends of the plain value types (composition.h adds vectors and
/// colours).
inline double Lerp(double a, double b, double t) { return a + (b - a) * t; }
template <std::size_t N>
std::array<double, N> Lerp(const std::array<double, N>& a, const std::array<double, N>& b,
                           double t) {
    std::array<double, N> r{};
    for (std::size_t i = 0; i < N; ++i) r[i] = Lerp(a[i], b[i], t);
    return r;
}

template <class T>
class Keyed {
public:
    Keyed(T constant = T{}) : constant_(std::move(constant)) {}

    /// Adds a key, or replaces the key at the same frame. Throws
    /// std::invalid_argument for a frame that is not finite.
    void SetKey(double frame, T value) {
        if (!std::isfinite(frame)) throw std::invalid_argument("key frame must be finite");
        keys_[frame] = std::move(value);
    }
    /// Removes every key and holds `value` at all frames.
    void SetConstant(T value) {
        keys_.clear();
        constant_ = std::move(value);
    }
    std::size_t KeyCount() const { return keys_.size(); }
    const std::map<double, T>& Keys() const { return keys_; }
    /// The value at every frame while there are no keys.
    const T& Constant() const { return constant_; }
    /// Every value the track takes at a key, in frame order, or its constant.
    std::vector<T> Values() const {
        if (keys_.empty()) return {constant_};
        std::vector<T> values;
        for (const auto& key : keys_) values.push_back(key.second);
        return values;
    }
    /// The same track with `f` applied to each value.
    template <class F>
    auto Map(F f) const {
        Keyed<decltype(f(constant_))> mapped(f(constant_));
        for (const auto& [frame, value] : keys_) mapped.SetKey(frame, f(value));
        return mapped;
    }

    /// The value at `frame`; `blend(a, b, t)` mixes two neighbouring keys'
    /// values for 0 < t < 1 when `how` is linear.
    template <class Blend>
    T At(double frame, Interpolation how, Blend blend) const {
        if (keys_.empty()) return constant_;
        const auto next = keys_.upper_bound(frame);
        if (next == keys_.begin()) return next->second;
        const auto prev = std::prev(next);
        if (next == keys_.end() || prev->first == frame || how == Interpolation::kHold) {
            return prev->second;
        }
        return blend(prev->second, next->second,
                     (frame - prev->first) / (next->first - prev->first));
    }
    /// Linear, for the types Lerp blends.
    T At(double frame) const {
        return At(frame, Interpolation::kLinear,
                  [](const T& a, const T& b, double t) { return Lerp(a, b, t); });
    }
    T Held(double frame) const {
        return At(frame, Interpolation::kHold, [](const T& a, const T&, double) { return a; });
    }

private:
    T constant_;
    std::map<double, T> keys_;
};

}  // namespace lumeshade::host
