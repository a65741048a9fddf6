// check_dpi_manifest EXE...: each program's RT_MANIFEST resource, as the
// loader reads it, declares that the program draws for the screen's scale:
// system-aware for the systems that know only that, per monitor where the
// system offers it. Each element must sit in the namespace its system reads
// it in; in any other the system ignores it without a word, and stretches
// the windows as a blurred bitmap.
#include "pe_file.h"
#include <stdexcept>

namespace {

using pe::U16;
using pe::U32;

// The manifest's bytes, or an empty text with why in *error.
std::string ManifestOf(const std::vector<uint8_t>& f, std::string* error)
{
    const pe::Image image = pe::ReadImage(f);
    uint32_t root = U32(f, image.directories + 16);
    auto offsetOf = [&](uint32_t rva) -> size_t {
        for (const pe::Section& s : image.sections)
            if (rva >= s.rva && rva < s.rva + s.rawSize)
                return s.rawOffset + (rva - s.rva);
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

// The declaration, element by element, in the namespaces its systems read.
std::string Check(const std::vector<uint8_t>& file)
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
    std::string error, manifest = ManifestOf(file, &error);
    if (!error.empty())
        return error;
    std::string missing = MissingInOrder(WithoutComments(manifest), declaration);
    return missing.empty() ? "ok: declares system and per-monitor DPI awareness" : "the manifest lacks " + missing;
}

} // namespace

int main(int argc, char** argv)
{
    return pe::CheckEach(argc, argv, Check);
}
