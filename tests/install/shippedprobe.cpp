// lumivex-shippedprobe: prints the folder of shipped files and the samples folder, one a line,
// as a program in the same bin/ folder finds them. The install tests copy it beside the
// installed programs, since the folder depends on where the program itself lies.
#include "document/appsettings.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::printf("%s\n%s\n", qPrintable(lumivex::document::shippedFolder()),
                qPrintable(lumivex::document::samplesFolder()));
    return 0;
}
