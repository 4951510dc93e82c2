// corvane-cli filters: the crystal filter windows from a shell.
//   filters [--sub] enable MODE SLOT    Enable Receive (MODE: CW LSB USB Data AM FM, SLOT 1-5)
//   filters [--sub] disable MODE SLOT   Disable Receive
//   filters [--sub] bandwidths          Filter Bandwidth Settings, the table on stdout
//   filters [--sub] receive             Filter Receive Settings, the table on stdout
// --sub works the sub-receiver as frmCrystalsSub does. Like every subcommand but send it
// connects first ("id;", "ai;", "ai0;" in auto-info mode 1, so that no report of the radio's
// own lands among the slot answers) and puts auto-info back at the end. The messages the
// window shows go to stderr (and wait for Enter unless --yes), so does the progress line.
// Exit 1 when the radio does not identify itself, when the port fails, when Enable/Disable
// cannot find the slot or read its flag, and when a readout leaves any cell unread (the
// cells are named).

#include <array>
#include <cstdio>

#include "clicommand.h"
#include "clisession.h"
#include "filters/crystalfilters.h"
#include "resultsoutput.h"

namespace corvane::cli {

namespace {

const QString kSubOption = QStringLiteral("sub");

void printProgress(const QString &text) {
    if (text.isEmpty()) return;
    const QByteArray bytes = (text + QStringLiteral("...\n")).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

// The table, the progress line, and which cells the readout wrote.
class ProgressTableSink : public TableSink {
public:
    void progress(const QString &text, qint64) override { printProgress(text); }
    void showSettings(int slot, const QString &bandwidth, const QString &offset,
                      const QString &lossComp) override {
        TableSink::showSettings(slot, bandwidth, offset, lossComp);
        m_settingsRead[size_t(slot)] = true;
    }
    void showReceive(int slot, int modeNumber, bool enabled) override {
        TableSink::showReceive(slot, modeNumber, enabled);
        m_receiveRead[size_t(slot)][size_t(modeNumber)] = true;
    }

    // The cells the readout did not write, by slot: "Filter 2 bandwidth, offset and loss
    // compensation", "Filter 4 receive in CW, Data".
    QStringList unreadCells(bool bandwidths) const {
        QStringList cells;
        for (int slot = 1; slot <= kFilterSlots; ++slot) {
            const QString name = QStringLiteral("Filter %1 ").arg(slot);
            if (bandwidths) {
                if (!m_settingsRead[size_t(slot)])
                    cells << name + QStringLiteral("bandwidth, offset and loss compensation");
                continue;
            }
            QStringList modes;
            for (const int mode : receiveRowModes())
                if (!m_receiveRead[size_t(slot)][size_t(mode)])
                    modes << QLatin1String(filterModeTable()[size_t(mode - 1)].name);
            if (!modes.isEmpty()) cells << name + QStringLiteral("receive in ") + modes.join(", ");
        }
        return cells;
    }

private:
    std::array<bool, kFilterSlots + 1> m_settingsRead{};
    std::array<std::array<bool, kFilterModes + 1>, kFilterSlots + 1> m_receiveRead{};
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
    if (!session.connectRadio()) return kExitFailed;

    const Receiver receiver = session.parser().isSet(kSubOption) ? Receiver::Sub : Receiver::Main;
    FilterWindowFields fields;
    ProgressTableSink sink;
    CrystalFilters filters(session.link(), session.prompter(), receiver, fields, sink);
    if (change) {
        const FilterOperationEnd end = operation == u"enable" ? filters.enableReceive(mode, slot)
                                                              : filters.disableReceive(mode, slot);
        return end == FilterOperationEnd::Done ? kExitDone : kExitFailed;
    }
    const bool bandwidths = operation == u"bandwidths";
    const bool read = bandwidths ? filters.bandwidthReadout() : filters.receiveReadout();
    for (const QString &line : sink.table.alignedText()) session.printLatin1(line);
    if (!read) return kExitFailed;
    // An empty cell in the table must not pass for a reading.
    const QStringList unread = sink.unreadCells(bandwidths);
    if (unread.isEmpty()) return kExitDone;
    printError(QStringLiteral("corvane-cli: not read, left empty: ") +
               unread.join(QLatin1String("; ")));
    return kExitFailed;
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
