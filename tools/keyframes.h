// Values that change over frames: a constant, or keys at frames with linear
// interpolation between them (or holding each key's value until the next,
// for values that cannot be blended: switches, choices, layers).
#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

namespace lumeshade::tools {

enum class Interpolation { kLinear, kHold };

template <class T>
struct Key {
    double frame = 0.0;
    T value{};
};

// Linear blends of the value types the scenes key.
inline double Lerp(double a, double b, double t) { return a + (b - a) * t; }
template <std::size_t N>
std::array<double, N> Lerp(const std::array<double, N>& a, const std::array<double, N>& b,
                           double t) {
    std::array<double, N> r{};
    for (std::size_t i = 0; i < N; ++i) r[i] = Lerp(a[i], b[i], t);
    return r;
}

template <class T>
class Track {
public:
    Track() = default;
    explicit Track(T constant) { keys_.push_back({0.0, std::move(constant)}); }

    // Keys must come in increasing frame order.
    void AddKey(double frame, T value) {
        if (!keys_.empty() && !(frame > keys_.back().frame)) {
            throw std::invalid_argument("keys must come in increasing frame order");
        }
        keys_.push_back({frame, std::move(value)});
    }

    bool Empty() const { return keys_.empty(); }
    bool Animated() const { return keys_.size() > 1; }
    const std::vector<Key<T>>& Keys() const { return keys_; }

    // Before the first key the first value holds, after the last the last.
    // `blend(a, b, t)` mixes two neighbouring values for 0 < t < 1.
    template <class Blend>
    T At(double frame, Interpolation how, Blend blend) const {
        if (keys_.empty()) throw std::logic_error("a track without keys");
        if (frame <= keys_.front().frame) return keys_.front().value;
        if (frame >= keys_.back().frame) return keys_.back().value;
        std::size_t i = 1;
        while (keys_[i].frame < frame) ++i;
        const Key<T>& a = keys_[i - 1];
        const Key<T>& b = keys_[i];
        if (frame == b.frame) return b.value;
        if (how == Interpolation::kHold) return a.value;
        return blend(a.value, b.value, (frame - a.frame) / (b.frame - a.frame));
    }

    // Linear, for the types Lerp blends.
    T At(double frame) const {
        return At(frame, Interpolation::kLinear,
                  [](const T& a, const T& b, double t) { return Lerp(a, b, t); });
    }
    T Held(double frame) const {
        return At(frame, Interpolation::kHold, [](const T& a, const T&, double) { return a; });
    }

private:
    std::vector<Key<T>> keys_;
};

}  // namespace lumeshade::tools
