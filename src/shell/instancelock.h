#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace lumivex::shell {

/// Keeps the temporary files of this running copy of the program apart from those of any other
/// copy: each copy writes the state files of its unsaved documents and the wizard's hand-over
/// pictures into a folder of its own ("session-<pid>") that it holds a lock on while it runs.
/// At quit a copy removes its own folder and the folders of copies that are no longer running,
/// never the files of a copy that still runs.
class InstanceLock
{
public:
    /// programFolder is the per-user data folder.
    explicit InstanceLock(const QString &programFolder);
    ~InstanceLock();

    /// This copy's folder for temporary state files and hand-over pictures. Made again (and
    /// locked again) when something still asks for it after cleanUpAtQuit.
    QString stateFolder() const;

    /// Removes this copy's folder with everything in it (state files, hand-over pictures not
    /// yet loaded), the folders of copies that are no longer running, and the "*.tmp" files and
    /// hand-over pictures ("TMP" + digits + ".bmp") that older versions or a crash left in the
    /// program folder itself.
    void cleanUpAtQuit();

private:
    QString m_programFolder;
    QString m_stateFolder;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace lumivex::shell
