// corvane-cli filters: the crystal filter windows from a shell.
//   filters [--sub] enable MODE SLOT    Enable Receive (MODE: CW LSB USB Data AM FM, SLOT 1-5)
//   filters [--sub] disable MODE SLOT   Disable Receive
//   filters [--sub] bandwidths          Filter Bandwidth Settings, the table on stdout
//   filters [--sub] receive             Filter Receive Settings, the table on stdout
// --sub works the sub-receiver as frmCrystalsSub does. The messages the window shows go to
// stderr (and wait for Enter unless --yes), so does the progress line. Exit 1 when the port
// fails, when Enable/Disable cannot find the slot or read its flag, and when a readout
// identifies no slot at all.

#include <cstdio>

#include "clicommand.h"
#include "clisession.h"
#include "filters/crystalfilters.h"

namespace corvane::cli {

namespace {

const QString kSubOption = QStringLiteral("sub");

void printProgress(const QString &text) {
    if (text.isEmpty()) return;
    const QByteArray bytes = (text + QStringLiteral("...\n")).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

class ProgressTableSink : public TableSink {
public:
    void progress(const QString &text, qint64) override { printProgress(text); }
};

std::optional<int> slotNumber(const QString &text) {
    if (text.size() != 1 || text.at(0) < u'1' || text.at(0) > u'5') return std::nullopt;
    return text.toInt();
}

int runFilters(CliSession &session, const QStringList &arguments) {
    const QString operation = arguments.value(0);
    const bool change = operation == u"enable" || operation == u"disable";
    const bool readout = operation == u"bandwidths" || operation == u"receive";
    if (!(change && arguments.size() == 3) && !(readout && arguments.size() == 1))
        return session.usageError(
            QStringLiteral("filters takes enable MODE SLOT, disable MODE "
                           "SLOT, bandwidths or receive"));
    std::optional<int> mode;
    std::optional<int> slot;
    if (change) {
        mode = modeNumberOf(arguments.at(1));
        slot = slotNumber(arguments.at(2));
        if (!mode)
            return session.usageError(QStringLiteral("MODE is one of CW LSB USB Data AM FM"));
        if (!slot) return session.usageError(QStringLiteral("SLOT is a filter number, 1 to 5"));
    }
    if (!session.openPort()) return kExitFailed;

    const Receiver receiver = session.parser().isSet(kSubOption) ? Receiver::Sub : Receiver::Main;
    FilterWindowFields fields;
    ProgressTableSink sink;
    CrystalFilters filters(session.link(), session.prompter(), receiver, fields, sink);
    if (change) {
        const FilterOperationEnd end = operation == u"enable" ? filters.enableReceive(mode, slot)
                                                              : filters.disableReceive(mode, slot);
        return end == FilterOperationEnd::Done ? kExitDone : kExitFailed;
    }
    const bool read =
        operation == u"bandwidths" ? filters.bandwidthReadout() : filters.receiveReadout();
    for (const QString &line : sink.table.alignedText()) session.printLatin1(line);
    // A readout that identified no slot at all had no radio to talk to.
    return read && sink.cellsShown > 0 ? kExitDone : kExitFailed;
}

}  // namespace

CliCommand command_filters() {
    return {QStringLiteral("filters"),
            QStringLiteral("enable MODE SLOT | disable MODE SLOT | bandwidths | receive"),
            QStringLiteral("Enable or disable a crystal filter slot for receive in a mode, or "
                           "read the slots' settings."),
            {QCommandLineOption(kSubOption, QStringLiteral("Work on the sub-receiver's filters."))},
            runFilters};
}

}  // namespace corvane::cli
