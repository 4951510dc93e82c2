#include "survey/ui/frmfiltersurvey.h"

#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QScrollBar>
#include <optional>

#include "core/numtext.h"
#include "filters/filtertable.h"
#include "link/radiolink.h"
#include "survey/surveyfindings.h"
#include "survey/surveyoutputs.h"
#include "survey/surveyplan.h"
#include "survey/ui/surveyreport.h"
#include "ui_frmfiltersurvey.h"

namespace corvane {

namespace {
const QString kTitle = QStringLiteral("Filter Survey");
// Two-line headings keep the thirteen columns narrow enough to show beside the findings.
const QStringList kColumns{"Slot",          "BW,\nkHz",    "Offset,\nkHz",        "Loss comp,\ndB",
                           "Enabled",       "-3 dB,\nHz",  "-6 dB,\nHz",          "-60 dB,\nHz",
                           "Shape\nfactor", "Centre,\nHz", "Peak vs\nwidest, dB", "Ripple,\ndB",
                           "Floor,\ndB"};
}  // namespace

// What the survey produces, shown in this window.
class frmFilterSurvey::Sink : public SurveySink {
public:
    explicit Sink(frmFilterSurvey &window) : m_window(window) {}
    // The plan as the slots' widths make it, under the signal advice shown before the start.
    void plan(const QStringList &lines) override {
        m_window.setPlanText(surveySignalAdvice(m_window.m_runOptions) + lines);
    }
    void slotStarted(const SlotResult &slot) override {
        const SlotSweepPlan &p = slot.plan;
        m_window.m_centreHz = p.startHz + (p.points - 1) / 2 * p.stepHz;
        m_window.m_ui->lblSlotProgress->setText(
            QStringLiteral("FL%1: starting, %2 points").arg(slot.slot).arg(p.points));
        m_window.describeProgress();
    }
    void slotFinished(const SlotResult &slot) override { m_window.showSlotFinished(slot); }
    void point(int slot, int32_t hz, double db) override {
        m_window.m_ui->chtOverlay->surveyChart().addPoint(slot,
                                                          QPointF(hz - m_window.m_centreHz, db));
    }
    void progress(const SurveyProgress &p) override { m_window.showProgress(p); }
    // The buttons come back once the run has returned, after the put-back.
    void setRunning(bool running) override {
        if (running) m_window.setRunning(true);
    }
    void phase(SurveyPhase phase) override { m_window.showPhase(phase); }
    void ended(const SurveyResult &result) override { m_window.showResult(result); }

private:
    frmFilterSurvey &m_window;
};

frmFilterSurvey::frmFilterSurvey(const AppContext &context, QWidget *parent)
    : FormWindow(parent),
      m_ui(std::make_unique<Ui::frmFilterSurvey>()),
      m_context(context),
      m_sink(std::make_unique<Sink>(*this)),
      m_now([] { return QDateTime::currentDateTime(); }) {
    m_ui->setupUi(this);
    // The progress lines keep one width, wide enough for the longest phase line, so that the
    // bars beside them do not move as the text changes; a longer line wraps.
    for (QLabel *line : {m_ui->lblSlotProgress, m_ui->lblOverallProgress}) {
        line->setWordWrap(true);
        line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    m_ui->layProgress->setColumnMinimumWidth(
        0, fontMetrics().horizontalAdvance(
               QStringLiteral("Survey: setting up the K3 and its AFV reference at the carrier")) +
               12);
    if (m_context.link && m_context.prompter)
        m_survey = std::make_unique<FilterSurvey>(*m_context.link, *m_context.prompter, *m_sink);
    connect(m_ui->cmdBegin, &QPushButton::clicked, this, &frmFilterSurvey::beginSurvey);
    connect(m_ui->cmdStop, &QPushButton::clicked, this, [this] {
        if (!m_survey || !m_running) return;
        m_survey->stop();
        m_stopping = true;
        m_ui->lblOverallProgress->setText(
            QStringLiteral("Survey: stopping after the reading under way; the K3's settings are "
                           "then put back."));
        describeProgress();
    });
    connect(m_ui->cmdReset, &QPushButton::clicked, this, [this] {
        if (!m_survey || !m_context.prompter) return;
        const PromptOwner owner(*m_context.prompter, this);
        m_survey->resetK3();
    });
    connect(m_ui->cmdSave, &QPushButton::clicked, this, &frmFilterSurvey::saveFiles);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &FormWindow::hideForm);
    for (QLineEdit *box :
         {m_ui->txtSlots, m_ui->txtRFGain, m_ui->txtStep, m_ui->txtCentre, m_ui->txtGenerator})
        connect(box, &QLineEdit::textChanged, this, &frmFilterSurvey::showPlan);
    connect(m_ui->chkAdaptive, &QCheckBox::toggled, this, &frmFilterSurvey::showPlan);
    for (QComboBox *box : {m_ui->cboReceiver, m_ui->cboMode})
        connect(box, &QComboBox::currentIndexChanged, this, &frmFilterSurvey::showPlan);
}

frmFilterSurvey::~frmFilterSurvey() = default;

void frmFilterSurvey::loadForm() {
    m_ui->cboReceiver->addItem(QStringLiteral("Main receiver"), int(Receiver::Main));
    m_ui->cboReceiver->addItem(QStringLiteral("Sub-receiver"), int(Receiver::Sub));
    for (const FilterMode &mode : filterModeTable())
        m_ui->cboMode->addItem(QLatin1String(mode.listText), mode.number);
    m_ui->cboMode->setCurrentIndex(m_ui->cboMode->findData(kSurveyDefaultMode));
    m_ui->txtSlots->setText(QStringLiteral("1-5"));
    m_ui->txtRFGain->setText(kSurveyDefaultRfGain);
    m_ui->txtGenerator->setText(shortestText(kSurveyAdvisedGeneratorDbm));
    m_ui->txtFolder->setText(QDir::home().filePath(QStringLiteral("K3 filter survey")));
    m_ui->tblResults->setColumnCount(int(kColumns.size()));
    m_ui->tblResults->setHorizontalHeaderLabels(kColumns);
    m_ui->tblResults->verticalHeader()->hide();
    m_ui->tblResults->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Room for all five slots under the header, and for a scroll bar on a narrow window.
    QTableWidget *table = m_ui->tblResults;
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() +
                          kFilterSlots * table->verticalHeader()->defaultSectionSize() +
                          table->horizontalScrollBar()->sizeHint().height() +
                          2 * table->frameWidth() + 2);
    m_ui->lstFindings->setMinimumHeight(4 * m_ui->lstFindings->fontMetrics().lineSpacing());
    m_ui->cmdStop->setEnabled(false);
    m_ui->cmdReset->setEnabled(false);
    m_ui->cmdSave->setEnabled(false);
    showPlan();
}

void frmFilterSurvey::closeEvent(QCloseEvent *event) {
    if (m_running) {
        event->ignore();
        return;
    }
    FormWindow::closeEvent(event);
}

std::optional<SurveyOptions> frmFilterSurvey::readOptions(bool tell) {
    SurveyOptions o;
    o.receiver = Receiver(m_ui->cboReceiver->currentData().toInt());
    o.modeNumber = m_ui->cboMode->currentData().toInt();
    o.adaptive = m_ui->chkAdaptive->isChecked();
    const auto refuse = [&](QLineEdit *box, const QString &why) -> std::optional<SurveyOptions> {
        if (tell && m_context.prompter) {
            m_context.prompter->message(why, kTitle, MessageIcon::Exclamation);
            box->setFocus();
        }
        return std::nullopt;
    };
    QString problem;
    const std::optional<QList<int>> numbers = parseSlotList(m_ui->txtSlots->text(), &problem);
    if (!numbers) return refuse(m_ui->txtSlots, problem);
    o.slotNumbers = *numbers;
    if (problem = checkSurveyRfGain(m_ui->txtRFGain->text()); !problem.isEmpty())
        return refuse(m_ui->txtRFGain, problem);
    o.rfGain = m_ui->txtRFGain->text().trimmed();
    if (!m_ui->txtStep->text().trimmed().isEmpty()) {
        if (problem = checkSurveyStep(m_ui->txtStep->text()); !problem.isEmpty())
            return refuse(m_ui->txtStep, problem);
        o.stepHz = qRound(m_ui->txtStep->text().toDouble());
    }
    if (problem = checkSurveyGenerator(m_ui->txtGenerator->text()); !problem.isEmpty())
        return refuse(m_ui->txtGenerator, problem);
    o.generatorDbm = m_ui->txtGenerator->text().trimmed().toDouble();
    if (!m_ui->txtCentre->text().trimmed().isEmpty()) {
        if (problem = checkSurveyCentre(m_ui->txtCentre->text()); !problem.isEmpty())
            return refuse(m_ui->txtCentre, problem);
        o.centreHz = int32_t(qRound64(m_ui->txtCentre->text().toDouble() * 1000.0));
    }
    return o;
}

void frmFilterSurvey::showPlan() {
    if (m_running) return;
    const std::optional<SurveyOptions> o = readOptions(false);
    if (!o) {
        setPlanText({QStringLiteral("Fill in the survey's options to see its plan.")});
        return;
    }
    setPlanText(surveyAdviceAndPlan(*o));
}

// The plan is read out by screen readers as the label's description as well as shown.
void frmFilterSurvey::setPlanText(const QStringList &lines) {
    const QString text = lines.join(u'\n');
    m_ui->lblPlan->setText(text);
    m_ui->lblPlan->setAccessibleDescription(text);
}

void frmFilterSurvey::showPhase(SurveyPhase phase) {
    switch (phase) {
        case SurveyPhase::ReadingSettings:
            m_ui->lblSlotProgress->setText(QStringLiteral("Slots: none swept yet"));
            m_ui->lblOverallProgress->setText(
                QStringLiteral("Survey: reading the slots' settings from the filter menu"));
            break;
        case SurveyPhase::SettingUp:
            m_ui->lblOverallProgress->setText(
                QStringLiteral("Survey: setting up the K3 and its AFV reference at the carrier"));
            break;
        case SurveyPhase::Settling:
            m_ui->lblOverallProgress->setText(kReadoutSettlingText);
            break;
        case SurveyPhase::ReadoutCheck:
            m_ui->lblOverallProgress->setText(QStringLiteral(
                "Survey: readout check at the carrier (the 10 dB attenuator out and in)"));
            break;
        case SurveyPhase::PuttingBack:
            m_ui->lblOverallProgress->setText(
                QStringLiteral("Survey: putting the K3's settings back"));
            break;
    }
    describeProgress();
}

void frmFilterSurvey::setRunning(bool running) {
    m_running = running;
    for (QWidget *w : std::initializer_list<QWidget *>{
             m_ui->cmdBegin, m_ui->cmdReset, m_ui->cmdSave, m_ui->cmdClose, m_ui->frmOptions})
        w->setEnabled(!running);
    m_ui->cmdStop->setEnabled(running);
    if (running) m_totalMs = 0;
    m_stopping = false;
}

void frmFilterSurvey::showProgress(const SurveyProgress &p) {
    if (m_totalMs == 0) m_totalMs = std::max<qint64>(1, p.totalMsLeft);
    m_ui->lblSlotProgress->setText(surveySlotProgressText(p));
    if (!m_stopping) m_ui->lblOverallProgress->setText(surveyOverallProgressText(p));
    m_ui->prgSlot->setRange(0, p.points);
    m_ui->prgSlot->setValue(p.point - 1);
    m_ui->prgOverall->setRange(0, 1000);
    m_ui->prgOverall->setValue(int(1000 - 1000 * p.totalMsLeft / m_totalMs));
    describeProgress();
}

void frmFilterSurvey::describeProgress() {
    m_ui->prgSlot->setAccessibleDescription(m_ui->lblSlotProgress->text());
    m_ui->prgOverall->setAccessibleDescription(m_ui->lblOverallProgress->text());
}

void frmFilterSurvey::showSlotFinished(const SlotResult &slot) {
    if (slot.status != SlotStatus::Measured) return;
    m_ui->lblSlotProgress->setText(
        QStringLiteral("FL%1: %2 points, measured").arg(slot.slot).arg(slot.points.size()));
    m_ui->prgSlot->setValue(m_ui->prgSlot->maximum());
    describeProgress();
}

// The bars and lines once the survey has ended: full when every slot asked for was dealt
// with, else where it stopped, with what was measured.
void frmFilterSurvey::showEnd() {
    int measured = 0;
    for (const SlotResult &s : m_result.slotResults)
        if (s.status == SlotStatus::Measured) ++measured;
    const QString count =
        QStringLiteral("%1 of %2 slots measured").arg(measured).arg(m_result.slotResults.size());
    QString text;
    switch (m_result.end) {
        case SurveyEnd::Completed:
            text = QStringLiteral("Survey: complete, ") + count;
            m_ui->prgOverall->setRange(0, 1);
            m_ui->prgOverall->setValue(1);
            break;
        case SurveyEnd::Stopped:
            text = QStringLiteral("Survey: stopped, ") + count;
            break;
        case SurveyEnd::PortLost:
            text = QStringLiteral("Survey: connection lost, ") + count;
            break;
        default:
            text = QStringLiteral("Survey: not run");
            break;
    }
    m_ui->lblOverallProgress->setText(text + u'.');
    describeProgress();
}

void frmFilterSurvey::showTable() {
    QTableWidget *table = m_ui->tblResults;
    table->setRowCount(int(m_result.slotResults.size()));
    int row = 0;
    for (const SlotResult &s : m_result.slotResults) {
        const QStringList cells = surveyCsvCells(s);
        for (int column = 0; column < cells.size(); ++column) {
            auto *item =
                new QTableWidgetItem(cells[column].isEmpty() ? QStringLiteral("-") : cells[column]);
            if (column == 0) item->setForeground(surveySlotColour(s.slot));
            table->setItem(row, column, item);
        }
        ++row;
    }
    m_ui->lstFindings->clear();
    QStringList findings{surveySummary(m_result)};
    findings << surveyFindings(m_result);
    for (const SlotResult &s : m_result.slotResults)
        if (const QString why = width60Remedy(s, m_result); !why.isEmpty())
            findings << QStringLiteral("FL%1 has no -60 dB width: %2.").arg(s.slot).arg(why);
    if (const QStringList losses = lossListing(m_result); !losses.isEmpty())
        findings << QStringLiteral("Peaks beside the widest slot (%1) and loss compensation: %2.")
                        .arg(widestSlotName(m_result), losses.join(QStringLiteral("; ")));
    if (m_result.readoutLinear() && m_result.attenuatorStepDb)
        findings << QStringLiteral(
                        "Readout check: the 10 dB attenuator moved the dBV reading "
                        "%1 dB at the carrier; the readout is linear.")
                        .arg(formatFixed(*m_result.attenuatorStepDb, 1));
    m_ui->lstFindings->addItems(findings + m_result.notes);
}

void frmFilterSurvey::beginSurvey() {
    if (!m_survey || !m_context.prompter) return;
    // The survey's prompts are modal to this window alone: the K3 Simulator window stays
    // usable at the AFV reference prompt.
    const PromptOwner owner(*m_context.prompter, this);
    const std::optional<SurveyOptions> options = readOptions(true);
    if (!options) return;
    SurveyChart &chart = m_ui->chtOverlay->surveyChart();
    chart.clearCurves();
    m_ui->tblResults->setRowCount(0);
    m_ui->lstFindings->clear();
    m_runOptions = *options;
    // The sink's ended() has shown the result (showResult) by the time the run returns.
    m_survey->run(*options);
    setRunning(false);
    m_ui->cmdReset->setEnabled(m_survey->hasCapture());
    const bool ran = m_result.end == SurveyEnd::Completed || m_result.end == SurveyEnd::Stopped ||
                     m_result.end == SurveyEnd::PortLost;
    m_ui->cmdSave->setEnabled(ran);
    if (ran) saveFiles();
}

void frmFilterSurvey::showResult(const SurveyResult &result) {
    m_result = result;
    m_ui->lstFindings->clear();
    const std::optional<double> reference = surveyPeakReferenceDb(m_result);
    m_ui->chtOverlay->surveyChart().setCurves(surveyCurves(m_result),
                                              reference ? std::optional<double>(0.0) : std::nullopt,
                                              surveyHalfSpanHz(m_result), bool(reference));
    showTable();
    showEnd();
}

void frmFilterSurvey::saveFiles() {
    std::optional<PromptOwner> owner;
    if (m_context.prompter) owner.emplace(*m_context.prompter, this);
    QStringList problems;
    if (!writeSurveyFiles(m_ui->txtFolder->text(), m_result, m_now(), &problems) &&
        m_context.prompter)
        m_context.prompter->message(
            QStringLiteral("The survey's files could not all be written:\n") + problems.join(u'\n'),
            kTitle, MessageIcon::Exclamation);
}

}  // namespace corvane
