#include "measurements/mdsresultsfile.h"

namespace corvane {

bool writeMdsResultsFile(const QString &path, const QStringList &listLines, const QString &comment,
                         const QDateTime &when, QString *error) {
    return writeResultsFile(path, QStringLiteral("K3 MDS Test Results"), listLines, comment, when,
                            error);
}

}  // namespace corvane
