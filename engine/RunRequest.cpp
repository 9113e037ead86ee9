#include "engine/RunRequest.h"

#include <algorithm>
#include <cmath>

namespace cardmill {

std::optional<LabelSize> LabelSize::of(long long n)
{
    if (n < kMin || n > kMax)
        return std::nullopt;
    return LabelSize(static_cast<int>(n));
}

LabelSize LabelSize::nearest(long long n)
{
    return LabelSize(static_cast<int>(std::clamp<long long>(n, kMin, kMax)));
}

bool Calibration::offsetInRange(double mm)
{
    return std::isfinite(mm) && std::fabs(mm) <= kMaxOffset;
}

bool Calibration::percentInRange(double percent)
{
    return std::isfinite(percent) && percent >= kMinPercent && percent <= kMaxPercent;
}

std::optional<Calibration> Calibration::of(double offsetX, double offsetY, double percent)
{
    if (!offsetInRange(offsetX) || !offsetInRange(offsetY) || !percentInRange(percent))
        return std::nullopt;
    return Calibration{offsetX, offsetY, percent / 100};
}

} // namespace cardmill
