#include <QApplication>

#include "startup.h"

int main(int argc, char *argv[])
{
    return startForkwell(argc, argv, [](Form1 &) { return QApplication::exec(); });
}
