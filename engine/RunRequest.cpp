#include "engine/RunRequest.h"

#include <algorithm>

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

} // namespace cardmill
