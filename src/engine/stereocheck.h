#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumivex::engine {

/// The settings a picture is checked at: those of its conversion, and how it is viewed.
struct StereoCheckSettings
{
    int kurikaesi = 70;
    int rittaido = 20;
    bool smooth = false;     ///< smooth depth (0..kSmoothNear) rather than the sixteen levels
    int oversample = 1;      ///< smooth depth: the run's factor (held as the runs hold it)
    std::optional<double> dpi; ///< the resolution it is printed or shown at; none: not known
    double viewMm = 400;     ///< the distance from the eyes to the picture
    double eyeMm = 65;       ///< the distance between the eyes
};

/// A repeat wider than this on paper cannot be viewed parallel: the eyes would have to diverge.
inline constexpr double kWidestRepeatMm = 60;
/// A repeat narrower than this on paper is hard to fuse.
inline constexpr double kNarrowestRepeatMm = 15;
/// The resolution a picture without one is taken at for its depth step: a screen's.
inline constexpr double kScreenDpi = 96;

/// What a picture will show, worked out from its design's depth and the conversion's own
/// separations (the separation of a depth is the repeat width less its shift, in steps of the
/// run: whole pixels for the sixteen levels, 1 / oversample for smooth depth).
struct StereoCheck
{
    int steps = 1;              ///< run steps per pixel
    int farSeparation = 0;      ///< the farthest depth present's separation, in steps
    int nearSeparation = 0;     ///< the nearest depth present's, in steps
    int distinctDepths = 0;     ///< distinct separations from the farthest to the nearest depth
    std::optional<double> farMm, nearMm; ///< the separations on paper, with a resolution
    bool doubleImages = false;  ///< near separation at most half the far one
    bool tooWide = false;       ///< the far separation over kWidestRepeatMm on paper
    bool tooNarrow = false;     ///< the far separation under kNarrowestRepeatMm on paper
    double depthStepArcsec = 0; ///< the smallest step of depth, as an angle at the eyes
    long long pixels = 0;       ///< the design's pixels looked at
    long long oneEyePixels = 0; ///< of those, the ones a nearer surface hides from one eye

    double farPixels() const { return double(farSeparation) / steps; }
    double nearPixels() const { return double(nearSeparation) / steps; }
    /// The share (0..1) of the picture seen by one eye only.
    double oneEyeShare() const { return pixels > 0 ? double(oneEyePixels) / double(pixels) : 0.0; }
};

/// The vergence angle, in radians, of two eyes eyeMm apart looking parallel-wise (the left eye
/// at the left copy) at two points `separationMm` apart on a picture viewMm away.
double vergence(double separationMm, double viewMm, double eyeMm);

/// Takes a design's depth rows one after another (all of the same kind, as the settings say)
/// and gives the check of the picture made from them.
class StereoSurvey
{
public:
    explicit StereoSurvey(const StereoCheckSettings &settings);

    /// A row of depth levels 0..15.
    void addRow(std::span<const std::int32_t> levels);
    /// A row of smooth depths.
    void addRow(std::span<const std::uint16_t> depths);

    StereoCheck result() const;

    /// The separation, in steps, of a depth (a level, or a smooth depth).
    int separationOf(int depth) const;

private:
    template <typename Depth>
    void survey(std::span<const Depth> row);

    StereoCheckSettings m_settings;
    int m_steps = 1;
    int m_far = -1;   // the farthest depth met; -1: none yet
    int m_near = -1;  // the nearest
    long long m_pixels = 0;
    long long m_oneEye = 0;
    std::vector<int> m_separations;  // the row being surveyed
    std::vector<unsigned char> m_hidden; // its points hidden from the right eye
};

} // namespace lumivex::engine
