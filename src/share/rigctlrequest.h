#pragma once
// One request line of the Hamlib NET rigctl protocol, the protocol of Hamlib's rigctld as its
// manual defines it: a command by its one-character name ("f", "M USB 2400") or by its long
// name after a backslash ("\get_freq", "\dump_state"), then its values separated by blanks,
// ended by a newline. A punctuation character in front ("+f", ";\get_mode") asks for the
// extended response: a header record with the long name and the values received, one
// "Key: value" record per value, and "RPRT n"; "+" ends each record with a newline, any other
// character with itself. The plain response is the values, one a line, or "RPRT n" alone.

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

namespace corvane::share {

// Hamlib's return codes; a reply carries the negative number ("RPRT -9").
enum class RigError {
    Ok = 0,
    InvalidArgument = 1,  // RIG_EINVAL: a malformed line or value
    NotImplemented = 4,   // RIG_ENIMPL: a command this server does not know
    Timeout = 5,          // RIG_ETIMEOUT: the radio did not answer
    Io = 6,               // RIG_EIO: no port, or the port was lost
    Protocol = 8,         // RIG_EPROTO: the radio's answer was not of the expected form
    Rejected = 9,         // RIG_ERJCTED: a set while a Corvane procedure holds the radio
    NotAvailable = 11,    // RIG_ENAVAIL: what Corvane never does (keying the transmitter)
    BusBusy = 14,         // RIG_BUSBUSY: a get during a procedure with nothing read before
};

// The longest request line taken; a longer one is answered with an error and dropped. The
// longest real request ("\set_split_mode PKTUSB 2400") is under 40 characters.
constexpr int kMaxRequestLength = 256;

struct RigctlRequest {
    QString name;           // the long name: "get_freq", "set_mode", "quit"
    QStringList arguments;  // the values as sent
    QStringList keys;       // the names of the values a get returns ("Frequency")
    // The extended response's record separator; null for the plain response.
    QChar separator;
    bool extended() const { return !separator.isNull(); }
    // A command that returns no values: its plain response is "RPRT n".
    bool returnsNothing() const { return keys.isEmpty() && name != QLatin1String("dump_state"); }
};

// The request a line holds (without its newline), or nullopt and the error to reply with:
// an empty line, a byte that is not printable ASCII, an unknown command or the wrong number
// of values.
std::optional<RigctlRequest> parseRequest(const QByteArray &line, RigError *error);

struct RigReply {
    RigError error = RigError::Ok;
    QStringList values;  // in the order of the request's keys; dump_state: its lines
};

// The bytes that answer a request.
QByteArray formatReply(const RigctlRequest &request, const RigReply &reply);
// "RPRT -n\n": the answer to a line that is no request.
QByteArray formatError(RigError error);

}  // namespace corvane::share
