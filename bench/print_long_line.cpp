// corvane-cli print of a text file holding one 20 MB line, as a PDF: the printout cuts the
// line after 10,000 characters, so the memory it needs follows the pages, not the line.
// Prints the peak resident memory of the printing process.
//   bench_print_long_line [MEGABYTES]

#include <sys/resource.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int megabytes = argc > 1 ? std::atoi(argv[1]) : 20;
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("long.txt"));
    QFile file(text);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    const QByteArray chunk(1024 * 1024, 'x');
    for (int i = 0; i < megabytes; ++i) file.write(chunk);
    file.write("\r\n");
    file.close();

    QProcess print;
    print.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    print.setProcessEnvironment(environment);
    print.start(QCoreApplication::applicationDirPath() + QStringLiteral("/corvane-cli"),
                {QStringLiteral("print"), text, QStringLiteral("-o"),
                 dir.filePath(QStringLiteral("long.pdf"))});
    if (!print.waitForFinished(600000) || print.exitCode() != 0) {
        std::printf("corvane-cli print failed (exit %d)\n", print.exitCode());
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);  // ru_maxrss in KiB, of the one child
    std::printf("printed a %d MB one-line file to %lld bytes of PDF\n", megabytes,
                static_cast<long long>(QFile(dir.filePath(QStringLiteral("long.pdf"))).size()));
    std::printf("print_long_line: %.0f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
