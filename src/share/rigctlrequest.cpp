#include "share/rigctlrequest.h"

#include <array>
#include <cctype>

namespace corvane::share {

namespace {

struct CommandInfo {
    char shortName;  // 0: the long name only
    const char *longName;
    int arguments;
    const char *keys;  // the names of the values a get returns, '|' between them
};

// The commands served (rigctld's names and value keys). Anything else is not implemented.
constexpr std::array<CommandInfo, 24> kCommands{{
    {'F', "set_freq", 1, ""},
    {'f', "get_freq", 0, "Frequency"},
    {'M', "set_mode", 2, ""},
    {'m', "get_mode", 0, "Mode|Passband"},
    {'V', "set_vfo", 1, ""},
    {'v', "get_vfo", 0, "VFO"},
    {'S', "set_split_vfo", 2, ""},
    {'s', "get_split_vfo", 0, "Split|TX VFO"},
    {'I', "set_split_freq", 1, ""},
    {'i', "get_split_freq", 0, "TX Frequency"},
    {'X', "set_split_mode", 2, ""},
    {'x', "get_split_mode", 0, "TX Mode|TX Passband"},
    {'J', "set_rit", 1, ""},
    {'j', "get_rit", 0, "RIT"},
    {'T', "set_ptt", 1, ""},
    {'t', "get_ptt", 0, "PTT"},
    {'L', "set_level", 2, ""},
    {'l', "get_level", 1, "Level Value"},
    {0, "get_powerstat", 0, "Power Status"},
    {0, "chk_vfo", 0, "ChkVFO"},
    {0, "get_lock_mode", 0, "Locked"},
    {0, "dump_state", 0, ""},
    {'q', "quit", 0, ""},
    {'Q', "quit", 0, ""},
}};

const CommandInfo *findCommand(const QString &word) {
    const bool longName = word.startsWith(u'\\');
    for (const CommandInfo &info : kCommands) {
        if (longName ? word.mid(1) == QLatin1String(info.longName)
                     : word.size() == 1 && info.shortName != 0 && word.at(0) == info.shortName)
            return &info;
    }
    return nullptr;
}

bool printable(const QByteArray &line) {
    for (const char c : line)
        if ((c < 0x20 || c > 0x7e) && c != '\t') return false;
    return true;
}

// The characters that ask for the extended response; '\' starts a long name, '?' and '_'
// are commands of their own, '#' a comment.
bool extendedMark(char c) {
    return std::ispunct(static_cast<unsigned char>(c)) && c != '\\' && c != '?' && c != '_' &&
           c != '#';
}

}  // namespace

std::optional<RigctlRequest> parseRequest(const QByteArray &line, RigError *error) {
    *error = RigError::InvalidArgument;
    if (!printable(line)) return std::nullopt;
    QString text = QString::fromLatin1(line).trimmed();
    RigctlRequest request;
    if (!text.isEmpty() && extendedMark(text.at(0).toLatin1())) {
        request.separator = text.at(0) == u'+' ? QChar(u'\n') : text.at(0);
        text = text.mid(1).trimmed();
    }
    QStringList words = text.simplified().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty()) return std::nullopt;
    const CommandInfo *info = findCommand(words.takeFirst());
    if (!info) {
        *error = RigError::NotImplemented;
        return std::nullopt;
    }
    if (words.size() != info->arguments) return std::nullopt;
    request.name = QLatin1String(info->longName);
    request.arguments = words;
    if (*info->keys) request.keys = QString::fromLatin1(info->keys).split(u'|');
    *error = RigError::Ok;
    return request;
}

QByteArray formatError(RigError error) {
    return "RPRT " + QByteArray::number(-int(error)) + '\n';
}

QByteArray formatReply(const RigctlRequest &request, const RigReply &reply) {
    const bool ok = reply.error == RigError::Ok;
    if (!request.extended()) {
        if (!ok || request.returnsNothing()) return formatError(reply.error);
        return (reply.values.join(u'\n') + u'\n').toLatin1();
    }
    QStringList records;
    records << request.name + u':' +
                   (request.arguments.isEmpty() ? QString() : u' ' + request.arguments.join(u' '));
    if (ok) {
        for (int i = 0; i < reply.values.size(); ++i)
            records << (i < request.keys.size() ? request.keys[i] + QStringLiteral(": ")
                                                : QString()) +
                           reply.values[i];
    }
    records << QStringLiteral("RPRT %1").arg(-int(reply.error));
    return (records.join(request.separator) + u'\n').toLatin1();
}

}  // namespace corvane::share
