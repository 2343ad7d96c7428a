// lumivex-convert: turns a design picture into a stereo picture without opening a window.

#include "convert.h"
#include "options.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>
#include <new>

namespace {

// The converter's contract is silence on success and one line on failure; warnings that
// image plug-ins print about odd but readable files would break it.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "lumivex-convert: %s\n", qPrintable(message));
}

int complain(QString message)
{
    // Paths and reader messages may hold line breaks; the complaint stays one line.
    message.replace(u'\r', u' ').replace(u'\n', u' ');
    std::fprintf(stderr, "lumivex-convert: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietMessages);
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    try {
        const lumivex::cli::Options options = lumivex::cli::parseOptions(arguments);
        if (options.help) {
            std::fputs(qPrintable(lumivex::cli::usageText()), stdout);
            return 0;
        }
        lumivex::cli::convertAndSave(options);
        return 0;
    } catch (const lumivex::cli::Failure &failure) {
        return complain(failure.message);
    } catch (const std::bad_alloc &) {
        return complain(QStringLiteral("out of memory"));
    } catch (const std::exception &error) {
        return complain(QString::fromLocal8Bit(error.what()));
    }
}
