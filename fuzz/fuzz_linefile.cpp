// The line reader behind every saved-file reader, on arbitrary file bytes.
#include <QFile>
#include <QTemporaryFile>

#include "core/linefile.h"
#include "fuzzradio.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QTemporaryFile file;
    if (!file.open()) return 0;
    file.write(fuzz::bytesOf(data, size));
    file.close();
    LineFileReader reader;
    if (!reader.open(file.fileName())) return 0;
    while (!reader.atEnd()) reader.readLine();
    return 0;
}
