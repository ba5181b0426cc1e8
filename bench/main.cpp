#include <QApplication>
#include <cstring>

#include "benchregistry.h"

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const vekbench::Entry &e : vekbench::registry()) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc; ++i)
            wanted = wanted || std::strcmp(argv[i], e.name) == 0;
        if (wanted)
            e.run();
    }
    return 0;
}
