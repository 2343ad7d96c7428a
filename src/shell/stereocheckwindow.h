#pragma once

#include "engine/stereocheck.h"

#include <QWidget>

#include <optional>

class QLabel;

namespace lumivex::shell {

/// 変換 → 立体の確認…: a small window beside the main window, not modal, that says what the
/// active document's picture will show at the sliders' values: the distinct depths, the
/// farthest and nearest separations, the smallest depth step, the share seen by one eye only,
/// and a warning for double images. The printer's resolution is not known here: separations in
/// pixels, the depth step with pixels at a screen's resolution.
class StereoCheckWindow : public QWidget
{
    Q_OBJECT

public:
    explicit StereoCheckWindow(QWidget *owner);

    /// Shows the check of a picture, or, without one, that there is nothing to check.
    void showCheck(const std::optional<engine::StereoCheck> &check);
    /// The report's lines as shown (the figures first in each), for the tests.
    QStringList lines() const;

private:
    QLabel *m_depths, *m_far, *m_near, *m_step, *m_oneEye, *m_warning, *m_note;
};

} // namespace lumivex::shell
