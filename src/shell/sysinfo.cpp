#include "shell/sysinfo.h"

#ifdef Q_OS_WIN
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#endif

namespace corvane {

QString sysInfoUnavailableText() {
    return QStringLiteral("System Information Is Unavailable At This Time");
}

#ifdef Q_OS_WIN
namespace {
// A text value of the machine-wide settings; empty when the key or value is missing.
QString machineValue(const QString &key, const QString &value) {
    const QSettings settings(QStringLiteral("HKEY_LOCAL_MACHINE\\") + key, QSettings::NativeFormat);
    return settings.value(value).toString();
}

bool startSysInfoTool() {
    const QString path = machineValue(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                      QStringLiteral("PATH"));
    if (!path.isEmpty()) return QProcess::startDetached(path, {});
    const QString folder = machineValue(
        QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"));
    if (folder.isEmpty()) return false;
    const QString tool = folder + QStringLiteral("\\MSINFO32.EXE");
    return QFileInfo::exists(tool) && QProcess::startDetached(tool, {});
}
}  // namespace
#endif

void startSysInfo(Prompter &prompter) {
#ifdef Q_OS_WIN
    if (startSysInfoTool()) return;
#endif
    // Linux and other systems keep no such tool in a known place.
    prompter.message(sysInfoUnavailableText(), programTitle(), MessageIcon::None);
}

}  // namespace corvane
