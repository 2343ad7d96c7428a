#include "screenfit.h"

#include "prompts/prompts.h"

#include <cmath>

namespace lumivex::docwindow {

namespace screenfit {

bool offer(prompts::Prompts &asker, QWidget *parent, const QString &tooWide, QSize size, Kind kind)
{
    if (size.width() > widestTaken()) {
        asker.exclamation(parent, prompts::applicationTitle(), tooWide);
        return false;
    }
    return asker.choose(parent, prompts::applicationTitle(), document::picturefit::offerText(tooWide, size, kind),
                        document::picturefit::offerButtons(kind), 1)
        == 0;
}

} // namespace screenfit

void FullSizePicture::keep(const QImage &original, const QImage &shown, int repeat)
{
    m_original = original;
    m_repeat = repeat;
    m_shownKey = shown.cacheKey();
    m_shownWidth = shown.width();
}

const QImage &FullSizePicture::behind(const QImage &shown) const
{
    return stands(shown) ? m_original : shown;
}

int FullSizePicture::repeatBehind(const QImage &shown, int repeat) const
{
    if (!stands(shown) || m_shownWidth <= 0 || repeat <= 0)
        return repeat;
    if (m_repeat > 0)
        return m_repeat;
    return int(std::lround(double(repeat) * m_original.width() / m_shownWidth));
}

} // namespace lumivex::docwindow
