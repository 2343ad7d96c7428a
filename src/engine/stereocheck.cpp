#include "stereocheck.h"

#include "depth.h"
#include "smoothdepth.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

// The viewing geometry. The eyes, eyeMm = E apart, look at the picture from viewMm = D away,
// parallel-wise: the left eye at a point's left copy, the right eye at its right copy,
// s = the separation apart on the picture. Seen from the point's middle x, the left eye at -E/2
// looks at x - s/2 and its ray turns inward by atan((E - s) / 2 / D); the right eye's turns
// as much the other way, so that the rays meet at the vergence angle
//
//     theta(s) = 2 atan((E - s) / (2 D)),
//
// zero at s = E (the eyes parallel, the point infinitely far) and growing as s shrinks (the
// point comes nearer). The rays meet d behind the picture where s = E d / (D + d): nearer
// points have smaller separations, as the runs give them (separation = repeat - shift).
//
// Along the right eye's ray through picture column x + s/2, a point whose separation is s'
// has its middle at x + (s - s') / 2: t pixels to the right the ray has come nearer by a
// separation of 2 t. A surface at column x + t whose separation is at most s - 2 t reaches the
// ray, and the right eye sees it instead of the point at x; to the left, the same for the left
// eye. Such a point is seen by one eye only.

namespace lumivex::engine {

namespace {

constexpr double kArcsecondsPerRadian = 180.0 / 3.14159265358979323846 * 3600.0;

} // namespace

double vergence(double separationMm, double viewMm, double eyeMm)
{
    return 2 * std::atan((eyeMm - separationMm) / (2 * viewMm));
}

StereoSurvey::StereoSurvey(const StereoCheckSettings &settings)
    : m_settings(settings), m_steps(settings.smooth ? heldOversample(settings.oversample) : 1)
{
}

int StereoSurvey::separationOf(int depth) const
{
    const int repeat = limitParameter(m_settings.kurikaesi) * m_steps;
    if (m_settings.smooth)
        return repeat - smoothShift(m_settings.rittaido, m_steps, std::clamp(depth, 0, kSmoothNear));
    return repeat - depthShift(depthFactor(limitParameter(m_settings.rittaido)), std::clamp(depth, 0, 15));
}

void StereoSurvey::addRow(std::span<const std::int32_t> levels)
{
    survey(levels);
}

void StereoSurvey::addRow(std::span<const std::uint16_t> depths)
{
    survey(depths);
}

template <typename Depth>
void StereoSurvey::survey(std::span<const Depth> row)
{
    const int width = static_cast<int>(row.size());
    if (width == 0)
        return;
    m_separations.resize(row.size());
    m_hidden.assign(row.size(), 0);
    for (int x = 0; x < width; ++x) {
        const int z = static_cast<int>(row[std::size_t(x)]);
        m_separations[std::size_t(x)] = separationOf(z);
        m_far = m_far < 0 ? z : std::min(m_far, z);
        m_near = std::max(m_near, z);
    }
    // The point at x is hidden from the right eye when some t >= 1 has s[x + t] + 2 t <= s[x],
    // that is when reach(x) = min over t of s[x + t] + 2 t is at most s[x]; reach(x) is
    // 2 + min(s[x + 1], reach(x + 1)), worked from the right in one pass (and the left eye's
    // from the left). Separations are in steps, a pixel along a ray 2 × steps of them.
    const int *s = m_separations.data();
    const int stride = 2 * m_steps;
    constexpr int kNoSurface = std::numeric_limits<int>::max() / 2;
    for (int x = width - 1, reach = kNoSurface; x >= 0; --x) {
        m_hidden[std::size_t(x)] = reach <= s[x];
        reach = std::min(reach, s[x]) + stride;
    }
    for (int x = 0, reach = kNoSurface; x < width; ++x) {
        m_oneEye += m_hidden[std::size_t(x)] || reach <= s[x];
        reach = std::min(reach, s[x]) + stride;
    }
    m_pixels += width;
}

StereoCheck StereoSurvey::result() const
{
    StereoCheck check;
    check.steps = m_steps;
    const int far = std::max(m_far, 0), near = std::max(m_near, 0);
    check.farSeparation = separationOf(far);
    check.nearSeparation = separationOf(near);
    if (m_settings.smooth) {
        // Shifts grow by less than a step from one depth to the next (at most 75 pixels over
        // 65535 depths), so every separation between the two ends is some depth's.
        check.distinctDepths = std::min(check.farSeparation - check.nearSeparation, near - far) + 1;
    } else {
        std::set<int> separations;
        for (int level = far; level <= near; ++level)
            separations.insert(separationOf(level));
        check.distinctDepths = static_cast<int>(separations.size());
    }
    check.doubleImages = 2 * check.nearSeparation <= check.farSeparation;

    // One step of separation on the picture, in millimetres.
    const double dpi = m_settings.dpi.value_or(kScreenDpi);
    const double step = 25.4 / dpi / m_steps;
    const double farMm = check.farSeparation * step, nearMm = check.nearSeparation * step;
    if (m_settings.dpi) {
        check.farMm = farMm;
        check.nearMm = nearMm;
        check.tooWide = farMm > kWidestRepeatMm;
        check.tooNarrow = farMm < kNarrowestRepeatMm;
    }
    // The vergence changes by about step / D per step of separation, least where |E - s| is
    // largest (its slope is 1 / D / (1 + ((E - s) / 2D)²)): at one end of the separations present.
    const auto change = [&](double s) {
        return std::abs(vergence(s, m_settings.viewMm, m_settings.eyeMm)
                        - vergence(s + step, m_settings.viewMm, m_settings.eyeMm));
    };
    check.depthStepArcsec = std::min(change(nearMm), change(std::max(nearMm, farMm - step))) * kArcsecondsPerRadian;
    check.pixels = m_pixels;
    check.oneEyePixels = m_oneEye;
    return check;
}

} // namespace lumivex::engine
