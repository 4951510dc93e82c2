// The display decoding and every setting decoder on arbitrary answers.
#include "fuzzradio.h"
#include "radio/k3settings.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString answer = QString::fromLatin1(fuzz::bytesOf(data, size));
    namespace k = k3settings;
    const QString display = k::displayTextOf(answer);
    k::decodeDisplayText(display);
    k::decodeDisplayText(answer);
    k::decodeEqBars(display);
    k::alarmText(display);
    k::micPlusLineText(display);
    k::micSelectText(display);
    if (!answer.isEmpty()) k::stripDecimalPoint(answer.front());
    k::decodeAgc(answer);
    k::decodeAttenuator(answer);
    k::decodePreamp(answer);
    k::decodeMode(answer);
    QString power = answer, vfo = answer, bandwidth = answer, filter = answer;
    k::decodePower(power);
    k::decodeVfoFrequency(vfo);
    k::decodeBandwidth(bandwidth);
    k::decodeFilterNumber(filter);
    return 0;
}
