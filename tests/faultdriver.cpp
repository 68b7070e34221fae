// Stands in for the program in tests that kill it at a random moment: it
// prints "ready", then repeats one of the program's writes on the files of
// a working folder until it is killed, or for 100000 writes.

#include <cstdio>

#include "faultdriver.h"

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: faultdriver savenewitem|savetotals|addtolist <folder>\n");
        return 2;
    }
    std::puts("ready");
    std::fflush(stdout);
    for (int i = 1; i <= 100000; ++i)
        FaultDriver::writeOnce(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), i);
    return 0;
}
