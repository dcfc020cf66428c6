// The download manager program: runs one download list, or fetches one file.

#include "dlmanager/moddownload.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The argument is the rest of the command line, however the starter split it.
    return modDownLoad_Main(QCoreApplication::arguments().mid(1).join(QLatin1Char(' ')));
}
