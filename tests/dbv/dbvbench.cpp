#include "dbvbench.h"

#include <cmath>

#include "link/simtransport.h"

namespace corvane::test {

PortError DbvScriptedRadio::write(const QByteArray &bytes) {
    if (silent) return {};
    const QStringList parts = QString::fromLatin1(bytes).split(u';', Qt::SkipEmptyParts);
    for (const QString &part : parts) execute(part);
    return {};
}

void DbvScriptedRadio::execute(const QString &command) {
    commands << command;
    const QString c = command.toLower();
    const auto answer = [this](const QString &text) { m_buffer += text.toLatin1() + ';'; };
    const auto three = [](int n) { return QStringLiteral("%1").arg(n, 3, 10, QChar(u'0')); };
    if (c == "k22")
        m_k22 = true;
    else if (c == "k20")
        m_k22 = false;
    else if (c == "k31")
        m_k31 = true;
    else if (c == "k30")
        m_k31 = false;
    else if (c == "id")
        answer("ID017");
    else if ((c == "rg" || c == "db") && muteReadings)
        return;
    else if (c == "rg")
        answer("RG" + three(rfGain));
    else if (c.startsWith("rg"))
        rfGain = c.mid(2).toInt();
    else if (c == "ag")
        answer("AG" + three(afGain));
    else if (c.startsWith("ag"))
        afGain = c.mid(2).toInt();
    else if (c == "ra")
        answer(attenuator ? "RA01" : "RA00");
    else if (c.startsWith("ra"))
        attenuator = c == "ra01";
    else if (c == "pa")
        answer(preamp ? "PA1" : "PA0");
    else if (c.startsWith("pa"))
        preamp = c == "pa1";
    else if (c == "md")
        answer(QStringLiteral("MD%1").arg(mode));
    else if (c.startsWith("md"))
        mode = c.mid(2).toInt();
    else if (c == "gt" && m_k22)
        answer(agcOn ? "GT0041" : "GT0040");
    else if (c.startsWith("gt") && m_k22)
        agcOn = c.endsWith('1');
    else if (c == "pc" && m_k22)
        answer("PC0501");
    else if (c == "fa")
        answer("FA00014060000");
    else if (c == "fw" && m_k31)
        answer("FW0050");
    else if (c == "fw" && m_k22)
        answer("FW005030");
    else if (c == "rvm")
        answer("RVM04.45");
    else if (c == "rvd")
        answer("RVD02.80");
    else if (c == "rvf")
        answer("RVF01.21");
    else if (c == "mn255")
        menu = -1;
    else if (c.startsWith("mn"))
        menu = c.mid(2).toInt();
    else if (c == "up" && menu == 72)
        techMode = !techMode;
    else if (c == "db00" || c == "db10" || c == "db11")
        vfoBReadout = c.mid(2).toInt();
    else if (c == "db") {
        if (vfoBReadout == 11 && techMode)
            answer("DB" + reading(rfGain, attenuator).rightJustified(5, u' ') + "dBV");
        else
            answer("DB 14060.00");
    } else if (c == "ds") {
        QString display = "14060.00";
        if (menu == 72) display = techMode ? "      ON" : "     OFF";
        if (menu == 23) display = kat3Active ? "   AUTO " : " NOTINST";
        if (menu == 26) display = "   05321";
        answer("DS" + display + "@@");
    }
}

void RecordingSink::prepareChart(int rows) {
    chartRows = rows;
    chartValues = QList<double>(rows, std::nan(""));
    chartLabels = QStringList(rows, QString());
}

void RecordingSink::setChartRow(int row, double value, const QString &label) {
    chartValues[row - 1] = value;
    chartLabels[row - 1] = label;
}

DbvBench::DbvBench() {
    link.setTrace(&trace);
    prompter.setObserver(
        [this](const PromptMessage &m) { trace.addMessage(clock.now(), m.title + u'|' + m.text); });
}

DbvScriptedRadio &DbvBench::useScriptedRadio() {
    auto owned = std::make_unique<DbvScriptedRadio>();
    radio = owned.get();
    link.setTransport(std::move(owned));
    link.open();
    return *radio;
}

sim::K3Simulator &DbvBench::useSimulator() {
    simulator = std::make_shared<sim::K3Simulator>();
    link.setTransport(std::make_unique<SimTransport>(simulator, clock));
    link.open();
    return *simulator;
}

}  // namespace corvane::test
