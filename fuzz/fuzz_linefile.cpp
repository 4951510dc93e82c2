// The line reader behind every saved-file reader, on arbitrary file bytes.
#include "files/linefile.h"
#include "fuzzradio.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QTemporaryFile file;
    if (!fuzz::writeScratchFile(file, data, size)) return 0;
    LineFileReader reader;
    if (!reader.open(file.fileName())) return 0;
    while (!reader.atEnd()) reader.readLine();
    return 0;
}
