#include <QCoreApplication>

#include "testregistry.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return vektest::runAll(argc, argv);
}
