#pragma once
// frmFilterSurvey, "Filter Survey": the survey's options, the plan and the signal
// to connect before it starts, then progress per slot and overall with the time left, the
// overlay growing as the points come in, the table and where the measurement and the
// configuration disagree. The survey itself is FilterSurvey; this class only binds.

#include <QDateTime>
#include <functional>
#include <memory>

#include "core/appcontext.h"
#include "core/ui/formwindow.h"
#include "survey/filtersurvey.h"

namespace Ui {
class frmFilterSurvey;
}

namespace corvane {

class frmFilterSurvey : public FormWindow {
    Q_OBJECT
public:
    explicit frmFilterSurvey(const AppContext &context, QWidget *parent = nullptr);
    ~frmFilterSurvey() override;

    bool isRunning() const { return m_running; }
    const SurveyResult &lastResult() const { return m_result; }
    // The time written into the files (tests fix it).
    void setClockForFiles(std::function<QDateTime()> now) { m_now = std::move(now); }

protected:
    void loadForm() override;
    void closeEvent(QCloseEvent *event) override;

private:
    class Sink;

    void beginSurvey();
    void saveFiles();
    // The options from the boxes; a refused box is told and gets the focus.
    std::optional<SurveyOptions> readOptions(bool tell);
    void showPlan();
    void setPlanText(const QStringList &lines);
    void showPhase(SurveyPhase phase);
    // The table, chart, findings and end line of a run (shown before its closing message).
    void showResult(const SurveyResult &result);
    void showTable();
    void setRunning(bool running);
    void showProgress(const SurveyProgress &progress);
    void showSlotFinished(const SlotResult &slot);
    void showEnd();
    void describeProgress();

    std::unique_ptr<Ui::frmFilterSurvey> m_ui;
    AppContext m_context;
    std::unique_ptr<Sink> m_sink;
    std::unique_ptr<FilterSurvey> m_survey;
    SurveyOptions m_runOptions;  // of the survey started last
    SurveyResult m_result;
    std::function<QDateTime()> m_now;
    bool m_running = false;
    bool m_stopping = false;  // Stop pressed; the run has not returned yet
    qint64 m_totalMs = 0;     // the survey's fixed waits as its first point started
    int32_t m_centreHz = 0;
};

}  // namespace corvane
