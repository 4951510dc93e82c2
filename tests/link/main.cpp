// The link area's suites in one test executable.

#include <QCoreApplication>
#include <QtTest>

#include "tst_link.h"

namespace {
template <typename Suite>
int run(int argc, char *argv[]) {
    Suite suite;
    return QTest::qExec(&suite, argc, argv);
}
}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QString held = qEnvironmentVariable(kHoldPortVariable);
    if (!held.isEmpty()) return holdPortUntilInputCloses(held);

    int failed = 0;
    failed += run<LinkEdgeCasesTest>(argc, argv);
    failed += run<SerialTransportTest>(argc, argv);
    failed += run<K3SimSerialTest>(argc, argv);
    failed += run<ConnectionTest>(argc, argv);
    failed += run<PortNamesTest>(argc, argv);
    return failed == 0 ? 0 : 1;
}
