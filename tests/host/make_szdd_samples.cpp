// Writes inputs for the SZDD encoder of the sizes given, each mixing text,
// noise and long runs. The content is fixed, so every build measures the
// same bytes.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Noise {
    uint32_t state = 12345;
    uint8_t Next()
    {
        state = state * 1103515245u + 12345u;
        return (uint8_t)(state >> 16);
    }
};

std::vector<uint8_t> Sample(size_t size, Noise& noise)
{
    static const char text[] = "Pictavo draws freehand lines; the installer expands its files. ";
    std::vector<uint8_t> data;
    while (data.size() < size) {
        switch (noise.Next() % 3) {
        case 0:
            for (size_t i = 0; i < 200 && data.size() < size; ++i)
                data.push_back((uint8_t)text[i % (sizeof text - 1)]);
            break;
        case 1:
            for (size_t i = 0; i < 100 && data.size() < size; ++i)
                data.push_back(noise.Next());
            break;
        default: {
            uint8_t value = noise.Next();
            for (size_t i = 0; i < 300 && data.size() < size; ++i)
                data.push_back(value);
        }
        }
    }
    return data;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_szdd_samples OUTPUT_DIR SIZE...\n");
        return 2;
    }
    Noise noise;
    for (int arg = 2; arg < argc; ++arg) {
        size_t size = std::stoul(argv[arg]);
        std::vector<uint8_t> data = Sample(size, noise);
        std::string path = std::string(argv[1]) + "/sample-" + std::to_string(size) + ".bin";
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!out || std::fwrite(data.data(), 1, data.size(), out) != data.size() || std::fclose(out) != 0) {
            std::fprintf(stderr, "make_szdd_samples: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
