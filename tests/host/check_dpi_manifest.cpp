// check_dpi_manifest EXE...: each program's RT_MANIFEST resource, as the
// loader reads it, declares that the program draws for the screen's scale:
// system-aware for the systems that know only that, per monitor where the
// system offers it. Each element must sit in the namespace its system reads
// it in; in any other the system ignores it without a word, and stretches
// the windows as a blurred bitmap.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

uint32_t U16(const std::vector<uint8_t>& f, size_t at) { return f.at(at) | f.at(at + 1) << 8; }
uint32_t U32(const std::vector<uint8_t>& f, size_t at) { return U16(f, at) | U16(f, at + 2) << 16; }

// The manifest's bytes, or an empty text with why in *error.
std::string ManifestOf(const std::vector<uint8_t>& f, std::string* error)
{
    size_t pe = U32(f, 0x3C), optional = pe + 24;
    unsigned count = U16(f, pe + 6), magic = U16(f, optional);
    size_t directories = optional + (magic == 0x20B ? 112 : 96);
    uint32_t root = U32(f, directories + 16);
    auto offsetOf = [&](uint32_t rva) -> size_t {
        for (unsigned i = 0; i < count; ++i) {
            size_t h = optional + U16(f, pe + 20) + 40 * i;
            uint32_t start = U32(f, h + 12), size = U32(f, h + 16);
            if (rva >= start && rva < start + size)
                return U32(f, h + 20) + (rva - start);
        }
        throw std::out_of_range("an address outside the file's sections");
    };
    if (!root) {
        *error = "no resources";
        return "";
    }
    size_t base = offsetOf(root);
    // One entry of a resource directory, by id; 0 when there is none.
    // first: the first entry whatever its id.
    auto entry = [&](size_t directory, uint32_t id, bool first) -> uint32_t {
        unsigned named = U16(f, directory + 12), ids = U16(f, directory + 14);
        for (unsigned i = 0; i < named + ids; ++i) {
            size_t e = directory + 16 + 8 * i;
            if (first || (i >= named && U32(f, e) == id))
                return U32(f, e + 4);
        }
        return 0;
    };
    const uint32_t manifestType = 24, processManifest = 1, subdirectory = 0x80000000u;
    uint32_t type = entry(base, manifestType, false);
    if (!(type & subdirectory)) {
        *error = "no RT_MANIFEST resource";
        return "";
    }
    uint32_t name = entry(base + (type & ~subdirectory), processManifest, false);
    if (!(name & subdirectory)) {
        *error = "no RT_MANIFEST resource 1, the one the loader reads for a program";
        return "";
    }
    uint32_t language = entry(base + (name & ~subdirectory), 0, true);
    if (!language || (language & subdirectory)) {
        *error = "RT_MANIFEST 1 has no data";
        return "";
    }
    size_t data = base + language;
    size_t at = offsetOf(U32(f, data)), size = U32(f, data + 4);
    if (at + size > f.size()) {
        *error = "RT_MANIFEST 1 runs past the end of the file";
        return "";
    }
    return std::string((const char*)&f[at], size);
}

std::string WithoutComments(std::string text)
{
    for (size_t open; (open = text.find("<!--")) != std::string::npos;) {
        size_t close = text.find("-->", open);
        text.erase(open, close == std::string::npos ? std::string::npos : close + 3 - open);
    }
    return text;
}

// The parts, each after the one before; the first one missing, or "".
std::string MissingInOrder(const std::string& text, const std::vector<std::string>& parts)
{
    size_t at = 0;
    for (const std::string& part : parts) {
        at = text.find(part, at);
        if (at == std::string::npos)
            return part;
        at += part.size();
    }
    return "";
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> declaration = {
        "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">",
        "<windowsSettings>",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
        "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor"
        "</dpiAwareness>",
        "</windowsSettings>",
        "</application>",
    };
    int passed = 0, failed = 0;
    for (int i = 1; i < argc; ++i) {
        if (!*argv[i])
            continue;
        std::ifstream in(argv[i], std::ios::binary);
        std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string error, manifest;
        try {
            manifest = ManifestOf(file, &error);
        } catch (const std::out_of_range&) {
            error = "not a readable PE file";
        }
        std::string missing = error.empty() ? MissingInOrder(WithoutComments(manifest), declaration) : "";
        if (!error.empty() || !missing.empty()) {
            std::printf("FAIL %s: %s\n", argv[i], error.empty() ? ("the manifest lacks " + missing).c_str() : error.c_str());
            ++failed;
        } else {
            std::printf("ok   %s declares system and per-monitor DPI awareness\n", argv[i]);
            ++passed;
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
