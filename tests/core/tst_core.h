#pragma once
// Numbers and text as the program reads and writes them, and its line files.

#include <QObject>
#include <QTemporaryDir>

class NumTextTest : public QObject {
    Q_OBJECT
private slots:
    void numericValue_data();
    void numericValue();
    void roundHalfEven_data();
    void roundHalfEven();
    void toInt16_data();
    void toInt16();
    void toInt32Limits();
    void shortestText_data();
    void shortestText();
    void formatTextFixed_data();
    void formatTextFixed();
    void cuts_data();
    void cuts();
};

class LineFileTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void writesCrLfLines();
    void latin1BytesRoundTrip();
    void charactersOutsideLatin1BecomeQuestionMarks();
    void replacesExistingFile();
    void unwritablePathReportsFailure();
    void writeAfterFailedCreateFails();
    void readsLineEnds_data();
    void readsLineEnds();
    void skipAndEnd();
    void missingFileReportsFailure();
    void emptyFileIsAtEnd();

private:
    QString path(const QString &name) const;
    QScopedPointer<QTemporaryDir> m_dir;
};
