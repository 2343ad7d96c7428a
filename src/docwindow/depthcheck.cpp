// Settings whose nearest depth is shifted as far as the repeat width give a picture with holes
// instead of depth: 開始 refuses them, as the converter does, naming what would do.
#include "depthcheck.h"

#include "documentwindow.h"
#include "mainfacade.h"

#include "document/appsettings.h"
#include "document/inifile.h"
#include "document/sharedstate.h"

#include <QCoreApplication>

namespace lumivex::docwindow {

QString depthReachMessage(const engine::DepthReach &reach, int kurikaesi, int rittaido)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("lumivex::docwindow::DepthCheck", text); };
    if (reach.largestRittaido < 0)
        return tr("繰返幅が%1では画像ができません。繰返幅を1以上にしてください。").arg(kurikaesi);
    //: %1 the strength, %2 the shift in pixels, %3 the repeat width, %4 the largest usable strength, %5 the smallest usable repeat width
    return tr("立体度%1では、デザイン画像の最も手前の深さが%2ピクセルずれて繰返幅%3以上になり、画像ができません。"
              "使える立体度は%4までです（または繰返幅を%5以上にしてください）。")
        .arg(rittaido)
        .arg(reach.shiftInPixels())
        .arg(kurikaesi)
        .arg(reach.largestRittaido)
        .arg(reach.smallestKurikaesi);
}

engine::DepthReach DocumentWindow::designReach(int kurikaesi, int rittaido, int maxRittaido) const
{
    const int level = nearestDesignLevel();  // finds the nearest depths once per design picture
    if (level < 0)
        return {};
    if (m_levelSmooth)
        return engine::smoothDepthReach(kurikaesi, rittaido, m_nearestSmooth, m_smoothOversample, maxRittaido);
    return engine::depthReach(kurikaesi, rittaido, level, maxRittaido);
}

bool DocumentWindow::refuseUnreachable()
{
    const document::SharedState &s = m_main.shared();
    const auto parameter = [&s](const char *key, int fallback) {
        return document::iniReadInt(s.StateFilePath, QString::fromLatin1(document::kSection), QString::fromLatin1(key),
                                    fallback);
    };
    const int kurikaesi = parameter("KurikaesiHaba", 70);
    const int rittaido = parameter("Rittaido", 20);
    const engine::DepthReach reach = designReach(kurikaesi, rittaido);
    if (reach.fits)
        return false;
    const QString message = depthReachMessage(reach, kurikaesi, rittaido);
    // Live conversion asks at every slider step: the status bar says it there, beside the mark.
    if (m_main.settings().autoConvert())
        m_main.setStatusText(1, message);
    else
        m_main.prompts().exclamation(this, applicationTitle(), message);
    return true;
}

} // namespace lumivex::docwindow
