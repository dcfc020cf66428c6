#include "regcommand.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr), in(stdin);
    QStringList args = app.arguments();
    args.removeFirst();
    return runRegCommand(args, out, err, in);
}
