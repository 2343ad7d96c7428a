#include "picturefit.h"

#include "greydepth.h"

#include "engine/packedcolour.h"
#include "engine/resample.h"
#include "picture/picture.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace lumivex::document::picturefit {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PictureFit", text);
}

} // namespace

int widestTaken()
{
    return engine::kMaxRunWidth;
}

QSize fittedSize(QSize size, int width)
{
    if (size.width() <= 0 || size.height() <= 0)
        return {};
    width = std::clamp(width, 1, size.width());
    const auto height = std::llround(double(size.height()) * width / size.width());
    return {width, int(std::max<long long>(height, 1))};
}

QImage fitted(const QImage &picture, int width, Kind kind)
{
    const QSize size = fittedSize(picture.size(), width);
    if (size.isEmpty() || size == picture.size())
        return picture;
    const bool bilinear = kind == Kind::Stereo || isGreyDepthMap(picture);
    return picture::fromPacked(engine::resample(picture::toPacked(picture), size.width(), size.height(), bilinear));
}

QString offerText(const QString &tooWide, QSize size, Kind kind)
{
    const QSize shown = fittedSize(size, picture::kMaxPictureWidth);
    //: %1 × %2 the picture's size, %3 × %4 its size brought down
    const QString text = kind == Kind::Design
        ? tr("幅1024ピクセルに縮小して使いますか？（%1 × %2 → %3 × %4）\r\n"
             "プロジェクトには元の画像の場所と縮小が保存されます。")
        : tr("画面には幅1024ピクセルに縮小して表示しますか？（%1 × %2 → %3 × %4）\r\n"
             "印刷と画像の保存には元の大きさの画像を使います。");
    return tooWide + QStringLiteral("\r\n\r\n")
        + text.arg(size.width()).arg(size.height()).arg(shown.width()).arg(shown.height());
}

QStringList offerButtons(Kind kind)
{
    return {kind == Kind::Design ? tr("縮小して使う") : tr("縮小して表示"), tr("キャンセル")};
}

QString note(Kind kind, QSize original, QSize shown)
{
    //: %1 × %2 the picture file's size, %3 × %4 the size shown
    return (kind == Kind::Design ? tr("デザイン画像（%1 × %2）は %3 × %4 に縮小して使っています。")
                                 : tr("ステレオ画像（%1 × %2）は %3 × %4 に縮小して表示しています。"))
        .arg(original.width())
        .arg(original.height())
        .arg(shown.width())
        .arg(shown.height());
}

} // namespace lumivex::document::picturefit
