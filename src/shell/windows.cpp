// Every window the main window opens, one line each: its name (the objectName the menu
// asks for) and how to build it, for example
//   windows.add(QStringLiteral("frmMDS"),
//               [](const WindowContext &c) { return new frmMDS(c.app, c.windows, c.owner); });
// and, for a menu item that first asks for a file, an opener as the third argument.

#include "shell/windows.h"

#include "charts/ui/chartfilewindows.h"
#include "charts/ui/chartwindows.h"
#include "charts/ui/comparesweepswindow.h"
#include "core/ui/windowregistry.h"
#include "files/ui/frmreadfile.h"
#include "filters/ui/frmcrystals.h"
#include "measurements/ui/frmdbvlinearity.h"
#include "measurements/ui/frmfiltersweep.h"
#include "measurements/ui/frmmds.h"
#include "menus/ui/frmconfigsettings.h"
#include "shell/frmabout.h"
#include "shell/frmappliedrf.h"
#include "shell/remembered.h"
#include "survey/ui/frmfiltersurvey.h"

namespace corvane {

void registerProgramWindows(WindowRegistry &windows) {
    windows.add(QStringLiteral("frmAbout"),
                [](const WindowContext &c) { return new frmAbout(c.app, c.owner); });
    windows.add(QStringLiteral("frmAppliedRF"),
                [](const WindowContext &c) { return new frmAppliedRF(c.app, c.owner); });
    windows.add(QStringLiteral("frmChartSweep"), [](const WindowContext &c) {
        return new ChartSweepWindow(*c.app.dialogs, c.owner);
    });
    windows.add(QStringLiteral("frmChartLinearRange"), [](const WindowContext &c) {
        return new ChartLinearRangeWindow(*c.app.dialogs, c.owner);
    });
    windows.add(QStringLiteral("frmDBVLinearity"), [](const WindowContext &c) {
        return new frmDBVLinearity(c.app, c.windows, c.owner);
    });
    windows.add(QStringLiteral("frmFilterSweep"), [](const WindowContext &c) {
        return new frmFilterSweep(c.app, c.windows, c.owner);
    });
    windows.add(QStringLiteral("frmFilterSurvey"), [](const WindowContext &c) {
        auto *survey = new frmFilterSurvey(c.app, c.owner);
        // The options are the same survey after survey: they come back in the next run.
        if (c.app.settings)
            rememberControls(*survey, QStringLiteral("frmOptions"), *c.app.settings,
                             QStringLiteral("survey"));
        return survey;
    });
    windows.add(QStringLiteral("frmMDS"),
                [](const WindowContext &c) { return new frmMDS(c.app, c.owner); });
    for (const Receiver receiver : {Receiver::Main, Receiver::Sub}) {
        windows.add(frmCrystals::windowName(receiver), [receiver](const WindowContext &c) {
            return new frmCrystals(c.app, c.windows, receiver, c.owner);
        });
    }
    windows.add(QStringLiteral("frmConfigSettings"),
                [](const WindowContext &c) { return new frmConfigSettings(c.app, c.owner); });
    // The viewer and the charts from files first ask for a file: their menu items run the
    // opener, which shows the window once the file is read.
    windows.add(
        QStringLiteral("frmReadFile"),
        [](const WindowContext &c) { return new frmReadFile(c.app.prompter, c.owner); },
        openSavedFile);
    windows.add(
        QStringLiteral("frmCreateDBVChart"),
        [](const WindowContext &c) {
            return createChartFileWindow(ChartFileKind::Dbv, *c.app.dialogs, c.owner);
        },
        chartDbvFile);
    windows.add(
        QStringLiteral("frmCreateFSChart"),
        [](const WindowContext &c) {
            return createChartFileWindow(ChartFileKind::Sweep, *c.app.dialogs, c.owner);
        },
        chartSweepFile);
    windows.add(QStringLiteral("frmCompareSweeps"), [](const WindowContext &c) {
        return new CompareSweepsWindow(*c.app.dialogs, c.app.prompter, c.owner);
    });
}

}  // namespace corvane
