// The core area's suites in one test executable.

#include <QCoreApplication>
#include <QtTest>

#include "tst_core.h"

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    int failed = 0;
    {
        NumTextTest test;
        failed += QTest::qExec(&test, argc, argv);
    }
    {
        LineFileTest test;
        failed += QTest::qExec(&test, argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
