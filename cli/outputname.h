#pragma once

#include <QByteArray>
#include <QString>

namespace lumivex::cli {

/// Where an output file is written. A name that is valid UTF-8 is written as it is. A name
/// holding other bytes (see picture::decodeFileName) cannot be reached through Qt's file
/// classes: the file is written whole under a stand-in name in the same folder, reached through
/// the folder's descriptor, and place() then renames it to the name's own bytes, replacing any
/// file of that name at once, as a save file does.
class OutputName
{
public:
    explicit OutputName(const QString &name);
    ~OutputName();
    OutputName(const OutputName &) = delete;
    OutputName &operator=(const OutputName &) = delete;

    /// The path to write the file to (and commit it at).
    QString writtenAs() const { return m_writtenAs; }

    /// Gives the committed file its name; throws Failure when the folder refuses.
    void place();

private:
    QString m_name;
    QString m_writtenAs;
    QByteArray m_standIn; ///< the stand-in's name in the folder; empty when none is used
    int m_folder = -1;
    bool m_placed = false;
};

} // namespace lumivex::cli
