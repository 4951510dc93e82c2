// corvane-cli print: the saved-file viewer's printout of a text file, written as a PDF file
// ("-o -": on standard output).

#include "files/linefile.h"
#include "files/ui/lineprinter.h"
#include "resultsoutput.h"

namespace corvane::cli {

namespace {

int runPrint(CliSession &session, const QStringList &arguments) {
    if (arguments.size() != 1) return session.usageError(QStringLiteral("print takes one FILE"));
    const QCommandLineParser &parser = session.parser();
    if (!parser.isSet(kOutputOption))
        return session.usageError(QStringLiteral("print needs -o OUT.pdf"));
    if (const int code = checkOutputPath(parser, OutputKind::Binary)) return code;
    QString error;
    const std::optional<QStringList> lines = readTextLines(arguments.first(), &error);
    if (!lines) {
        printError(QStringLiteral("The file %1 cannot be read: %2").arg(arguments.first(), error));
        return kExitFailed;
    }
    if (!printLinesToPdf(parser.value(kOutputOption), *lines, &error)) {
        printError(QStringLiteral("corvane-cli: ") + error);
        return kExitFailed;
    }
    return kExitDone;
}

}  // namespace

CliCommand command_print() {
    CliCommand command{
        QStringLiteral("print"),
        QStringLiteral("FILE"),
        QStringLiteral("Print a text file's lines as the file viewer prints them, into a PDF "
                       "file."),
        {QCommandLineOption(kOutputOption, QStringLiteral("The PDF file to write."),
                            QStringLiteral("OUT.pdf"))},
        runPrint};
    command.drawing = true;
    command.radio = false;
    return command;
}

}  // namespace corvane::cli
