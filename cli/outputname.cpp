#include "outputname.h"

#include "options.h"

#include "picture/filenames.h"

#include <QAtomicInteger>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace lumivex::cli {

namespace {

QAtomicInteger<int> standIns; // stand-ins made by this process, for unique names

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

OutputName::OutputName(const QString &name)
    : m_name(name), m_writtenAs(name)
{
    if (!picture::hasEscapedBytes(name))
        return;
    const QByteArray bytes = picture::encodeFileName(name);
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : bytes.left(slash);
    m_folder = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_folder < 0)
        throw Failure{QStringLiteral("cannot write '%1': %2").arg(name, errnoText(errno))};
    // A hidden name of the same extension that nothing else uses, valid UTF-8 like the path to
    // the folder's descriptor.
    m_standIn = QByteArrayLiteral(".lumivex-convert-") + QByteArray::number(::getpid()) + '-'
        + QByteArray::number(standIns.fetchAndAddRelaxed(1)) + bytes.mid(bytes.lastIndexOf('.'));
    m_writtenAs = QStringLiteral("/proc/self/fd/%1/").arg(m_folder) + QString::fromLatin1(m_standIn);
}

OutputName::~OutputName()
{
    if (m_folder < 0)
        return;
    if (!m_placed)
        ::unlinkat(m_folder, m_standIn.constData(), 0); // a stand-in committed but never placed
    ::close(m_folder);
}

void OutputName::place()
{
    if (m_folder < 0)
        return;
    const QByteArray bytes = picture::encodeFileName(m_name);
    const QByteArray base = bytes.mid(bytes.lastIndexOf('/') + 1);
    if (::renameat(m_folder, m_standIn.constData(), m_folder, base.constData()) != 0)
        throw Failure{QStringLiteral("cannot write '%1': %2").arg(m_name, errnoText(errno))};
    m_placed = true;
}

} // namespace lumivex::cli
