#pragma once

#include <QImage>
#include <QString>

#include <functional>

namespace lumivex::wizard {

/// The field image of a colour-field document: the source picture repeated, unscaled, in rows
/// and columns from (0, 0) until it covers width × height; the last column and row are cut off.
QImage buildFieldImage(const QImage &source, int width, int height);

/// Writes the hand-over pictures as "TMPnnnnn.bmp" files (n from 10000 to 99999) into one folder.
/// Each file is created new, so two pictures of one hand-over (or of two copies of the program)
/// never share a name and an existing file is never replaced.
class HandOverFiles
{
public:
    /// draw gives the numbers; by default a random one in 10000..99999.
    explicit HandOverFiles(QString folder, std::function<int()> draw = {});

    /// Writes the picture as BMP under a fresh name and returns its full path; on failure an empty
    /// string, with nothing left behind and the reason in *error when given.
    QString write(const QImage &image, QString *error = nullptr);

private:
    QString m_folder;
    std::function<int()> m_draw;
};

} // namespace lumivex::wizard
