#pragma once
// The MDS test's results file (see resultsfile.h for its layout): the title line, author,
// the user's comment, the date run, then every line of the test's list.

#include "measurements/resultsfile.h"

namespace corvane {

bool writeMdsResultsFile(const QString &path, const QStringList &listLines, const QString &comment,
                         const QDateTime &when, QString *error = nullptr);

}  // namespace corvane
