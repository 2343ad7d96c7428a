#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace lumivex::shell {

/// Keeps the temporary state files of this running copy of the program apart from those of any
/// other copy: each copy writes them into a folder of its own ("session-<pid>") that it holds a
/// lock on while it runs. At quit a copy deletes its own files and those of copies that are no
/// longer running, never the files of a copy that still runs.
class InstanceLock
{
public:
    /// programFolder is the per-user data folder.
    explicit InstanceLock(const QString &programFolder);
    ~InstanceLock();

    /// This copy's folder for temporary state files.
    QString stateFolder() const { return m_stateFolder; }

    /// Deletes every "*.tmp" file of this copy's folder, of the folders of copies that are no
    /// longer running (and those folders), and of the program folder itself (left by older
    /// versions or a crash).
    void cleanUpAtQuit();

private:
    QString m_programFolder;
    QString m_stateFolder;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace lumivex::shell
