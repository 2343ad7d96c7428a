#pragma once

#include <QDialog>

namespace lumivex::shell {

/// The version box (Form5): the product name, the version line and a notice, no buttons; the
/// user closes it with the window's close box. It centres itself on the screen when created.
class VersionBox : public QDialog
{
    Q_OBJECT

public:
    explicit VersionBox(QWidget *parent = nullptr);

    /// "Version " followed by the project's version number.
    static QString versionLine();
};

} // namespace lumivex::shell
