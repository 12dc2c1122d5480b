// Writes the plucked test signal as a mono float WAV file.
// usage: test_signal_wav OUTPUT.wav [SECONDS] [RATE]
#include <cstdio>
#include <cstdlib>

#include "engine_fixture.h"
#include "wav_file.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s OUTPUT.wav [SECONDS] [RATE]\n", argv[0]);
        return 2;
    }
    double seconds = argc > 2 ? atof(argv[2]) : 3.0;
    uint32_t rate = argc > 3 ? (uint32_t)atoi(argv[3]) : 48000;
    std::vector<float> signal = plucked_signal((int)(seconds * rate), (float)rate);
    if (!wav_write(argv[1], signal, rate)) {
        fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
