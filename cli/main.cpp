// lumivex-convert: turns design pictures into stereo pictures without opening a window, and
// stereo pictures back into their depth.

#include "batch.h"
#include "check.h"
#include "convert.h"
#include "options.h"
#include "outputcheck.h"
#include "report.h"
#include "reveal.h"
#include "views.h"

#include "picture/filenames.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>
#include <new>

namespace {

// The converter's contract is silence on success and one line on failure; warnings that
// image plug-ins print about odd but readable files would break it. Each library is quieted
// through its own means (this handler for Qt's, error functions for libpng, the metafile
// renderer's options), never by closing standard error, which keeps the reports of a crash.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        lumivex::cli::complain(message);
}

int run(const lumivex::cli::Options &options)
{
    if (options.help || options.version) {
        std::fputs(qPrintable(options.help ? lumivex::cli::usageText() : lumivex::cli::versionText()), stdout);
        return 0;
    }
    if (!options.view.isEmpty()) {
        lumivex::cli::viewAndSave(options);
        return 0;
    }
    if (options.reveal) {
        lumivex::cli::revealAndSave(options);
        return 0;
    }
    if (options.isBatch())
        return lumivex::cli::runBatch(options);
    if (!options.output.isEmpty())
        lumivex::cli::checkOutput(options);
    if (options.check)
        lumivex::cli::printCheck(options);
    if (!options.output.isEmpty())
        lumivex::cli::convertAndSave(options);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietMessages);
    QCoreApplication app(argc, argv);
    // Qt's arguments() would turn bytes that are no UTF-8 into U+FFFD and name other files.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << lumivex::picture::decodeFileName(argv[i]);
    try {
        return run(lumivex::cli::parseOptions(arguments));
    } catch (const lumivex::cli::Failure &failure) {
        lumivex::cli::complain(failure.message);
    } catch (const std::bad_alloc &) {
        lumivex::cli::complain(QStringLiteral("out of memory"));
    } catch (const std::exception &error) {
        lumivex::cli::complain(QString::fromLocal8Bit(error.what()));
    }
    return 2;
}
