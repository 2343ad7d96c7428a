#include "smoothdepth.h"

#include "depth.h"

#include <algorithm>
#include <stdexcept>

namespace lumivex::engine {

namespace {

int nearestLevelOf(std::uint16_t z)
{
    return (z + kSmoothPerLevel / 2) / kSmoothPerLevel;
}

void toLevels(std::span<const std::uint16_t> depthRow, int last, std::vector<std::int32_t> &levels)
{
    if (depthRow.size() <= static_cast<std::size_t>(last))
        throw std::out_of_range("depth row shorter than the columns to convert");
    levels.resize(static_cast<std::size_t>(last) + 1);
    for (int x = 0; x <= last; ++x)
        levels[x] = nearestLevelOf(depthRow[x]);
}

} // namespace

std::uint16_t smoothDepth(Packed colour)
{
    if (colour == kOutside)
        return 0;
    const auto part = [](int component, std::uint32_t weight) { return weight * static_cast<std::uint32_t>(component); };
    const std::uint32_t luma = part(redOf(colour), 299) + part(greenOf(colour), 587) + part(blueOf(colour), 114);
    return static_cast<std::uint16_t>((luma * 257u + 500u) / 1000u);
}

void GetSmoothDepthRow(std::span<const Packed> designRow, int scanWidth, std::span<std::uint16_t> depthRow)
{
    if (scanWidth < 0)
        return;
    if (depthRow.size() <= static_cast<std::size_t>(scanWidth))
        throw std::out_of_range("depth row shorter than the columns to sample");
    const int inside = static_cast<int>(std::min(designRow.size(), static_cast<std::size_t>(scanWidth) + 1));
    for (int x = 0; x < inside; ++x)
        depthRow[x] = smoothDepth(designRow[x]);
    std::fill(depthRow.begin() + inside, depthRow.begin() + scanWidth + 1, std::uint16_t(0));
}

void SmoothDot::begin(const DotParams &params, const SmoothOptions &options, int scanWidth, std::uint64_t seed)
{
    m_params = params;
    m_options = options;
    m_whole.begin(params, scanWidth, seed);
    m_scanWidth = m_whole.scanWidth();
}

void SmoothDot::row(std::span<const std::uint16_t> depthRow, std::span<Packed> out)
{
    toLevels(depthRow, m_scanWidth, m_levels);
    m_whole.row(m_levels, out);
}

void SmoothField::begin(const FieldParams &params, const SmoothOptions &options, int scanWidth)
{
    m_params = params;
    m_options = options;
    m_whole.begin(params, scanWidth);
    m_scanWidth = m_whole.scanWidth();
}

void SmoothField::row(std::span<const std::uint16_t> depthRow, std::span<const Packed> fieldRow,
                      std::span<Packed> out)
{
    toLevels(depthRow, m_scanWidth, m_levels);
    m_whole.row(m_levels, fieldRow, out);
}

} // namespace lumivex::engine
