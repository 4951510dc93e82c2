// The rigctl server's requests: the input up to its first NUL byte is what clients send, one
// request a line; what follows it is the radio's answers (fuzzradio.h). Every line is parsed
// and served as corvane-cli share serves it, with the link free and then held by a procedure.
#include <QByteArrayList>

#include "fuzzradio.h"
#include "link/procedurefaults.h"
#include "share/sharedradio.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input = fuzz::bytesOf(data, size);
    const qsizetype split = input.indexOf('\0');
    const QByteArray requests = split < 0 ? input : input.left(split);
    const QByteArray answers = split < 0 ? QByteArray() : input.mid(split + 1);
    fuzz::FuzzBench bench(reinterpret_cast<const uint8_t *>(answers.constData()),
                          size_t(answers.size()));
    share::SharedRadio radio(bench.link);
    share::Vfo vfo = share::Vfo::A;
    const QByteArrayList lines = requests.split('\n');
    for (const QByteArray &line : lines) radio.answer(line, vfo);
    const LinkHold hold(bench.link, QStringLiteral("Fuzz"), QStringLiteral("Fuzz"));
    for (const QByteArray &line : lines) radio.answer(line, vfo);
    return 0;
}
