#pragma once
// A radio on the master side of a pseudo-terminal that the test itself creates: the program
// under test opens the slave side as its serial port. Commands are answered from a table as
// they arrive (inside the event loop that RealClock runs during a wait); anything else can be
// sent at any time with send().

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <memory>

class PtyRadio : public QObject {
    Q_OBJECT
public:
    explicit PtyRadio(QObject *parent = nullptr);
    ~PtyRadio() override;

    bool isValid() const { return m_master >= 0; }
    // The device the program opens, e.g. "/dev/pts/7".
    QString slavePath() const { return m_slavePath; }

    // The answer to a command, as received (";" included, any case).
    void setAnswer(const QByteArray &command, const QByteArray &answer) {
        m_answers[command] = answer;
    }
    // Bytes sent by the radio at once, unasked.
    void send(const QByteArray &bytes);
    // Everything the program has written so far.
    QByteArray received() const { return m_received; }
    // Pulls the plug: the master side goes away, as a USB adapter does.
    void vanish();

private:
    void onReadable();

    int m_master = -1;
    int m_slaveKeeper = -1;  // keeps the slave side alive between the program's opens
    QString m_slavePath;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QMap<QByteArray, QByteArray> m_answers;
    QByteArray m_received;
    QByteArray m_pending;
};
