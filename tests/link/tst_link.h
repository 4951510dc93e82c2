#pragma once
// The radio link: the exchange convention on the simulator and over a real pseudo-terminal,
// the serial and TCP ports, port names, and the connection procedures.

#include <QObject>

// With the child-holder variable set, the test executable only opens the named port,
// prints "held" and keeps the port until its input closes.
constexpr const char *kHoldPortVariable = "CORVANE_TEST_HOLD_PORT";
int holdPortUntilInputCloses(const QString &device);

class LinkEdgeCasesTest : public QObject {
    Q_OBJECT
private slots:
    void silentRadioGivesEmptyTextAfterTheWait();
    void lateAnswerLeadsTheNextRead();
    void autoInfoAnswerKeptWhole();
    void displayBytesAbove127Kept();
    void sendCommandReadsNothing();
    void settleTimeAfterTheRead();
    void exchangeOnClosedPortFailsHarmlessly();
};

class K3SimSerialTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void silentRadioGivesEmptyText();
    void lateAnswerLeadsTheNextRead();
    void connectToRadioInAutoInfoOne();
    void displayBytesAbove127Kept();
    void tcpPort();
    void unpluggedPortReportsAndCloses();
};

class SerialTransportTest : public QObject {
    Q_OBJECT
private slots:
    void silentRadioGivesEmptyText();
    void lateAnswerLeadsTheNextRead();
    void autoInfoAnswerKeptWhole();
    void bytesAbove127KeptBothWays();
    void dropsDtrAndRtsAfterOpen();
    void portSettings_data();
    void portSettings();
    void missingDeviceIsNoSuchPort();
    void portHeldInThisProcessIsInUse();
    void portHeldByChildProcessIsInUse();
    void exchangeOnClosedPortIsNotOpen();
    void vanishedDeviceIsOtherAndCloses();
    void errorMapping_data();
    void errorMapping();
};

class ConnectionTest : public QObject {
    Q_OBJECT
private slots:
    void identifiedRadio();
    void autoInfoModeOneIsSwitchedOff();
    void otherIdentityAnswers_data();
    void otherIdentityAnswers();
    void otherAutoInfoAnswers_data();
    void otherAutoInfoAnswers();
    void portErrorStopsConnectAtOnce();
    void testCommunications_data();
    void testCommunications();
    void consoleCommand_data();
    void consoleCommand();
    void consoleOnClosedPort();
    void restoreAutoInfo_data();
    void restoreAutoInfo();
};

class PortNamesTest : public QObject {
    Q_OBJECT
private slots:
    void comPortNumbers_data();
    void comPortNumbers();
    void comPortDevices();
    void simulatorLinks();
    void detectedPortsLeaveOutNumberedPorts();
    void factory_data();
    void factory();
    void errorTexts_data();
    void errorTexts();
    void tcpSpecs_data();
    void tcpSpecs();
    void tcpExchange();
    void tcpNothingListening();
    void tcpFarEndCloses();
};
