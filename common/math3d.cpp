#include "common/math3d.h"

#include <cstdio>
#include <cstdlib>

namespace lumeshade {
namespace {

[[noreturn]] void ReportFailedCheck(const char* text, const char* module, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", module, line, text);
    std::fflush(stderr);
    std::abort();
}

#define MATH3D_CHECK(cond) ((cond) ? (void)0 : ReportFailedCheck(#cond, "math3d", __LINE__))

}  // namespace

Vector3 CheckedNormalize(Vector3 norm) {
    MATH3D_CHECK(norm.GetMag() > 0.0f);
    norm.Normalize();
    return norm;
}

}  // namespace lumeshade
