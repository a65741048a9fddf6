// Turns the licence agreement, kept as plain text so it can be read and
// edited, into the string table entry the agreement page loads.
//
// The text is written as one string literal: line breaks become \r\n so
// the edit control that shows it breaks lines the Windows way, whatever
// line endings the checkout has. Anything but printable ASCII is refused,
// because the resource compiler would read it in a code page of its own
// choosing. The length is printed so the reader's buffer can be sized.
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int agreementStringId = 189; // IDS_AGREEMENT in resources/resource_ids.h

// A string table entry stores its length in 16 bits.
const size_t maxEntryLength = 65535;

bool ReadFile(const char* path, std::string* text)
{
    FILE* in = std::fopen(path, "rb");
    if (!in)
        return false;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        text->append(buffer, got);
    bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

// The text's lines, without their line ends, and without the empty lines
// at the end: the entry must not end in a line break.
bool SplitLines(const std::string& text, std::vector<std::string>* lines, std::string* error)
{
    std::string line;
    int lineNumber = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines->push_back(line);
            line.clear();
            ++lineNumber;
        } else if (c < 0x20 || c > 0x7E) {
            char what[80];
            std::snprintf(what, sizeof what, "line %d: byte 0x%02X is not printable ASCII", lineNumber, c);
            *error = what;
            return false;
        } else {
            line += (char)c;
        }
    }
    lines->push_back(line);
    while (!lines->empty() && lines->back().empty())
        lines->pop_back();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_agreement_rc AGREEMENT.txt OUTPUT.rc\n");
        return 2;
    }
    std::string text;
    if (!ReadFile(argv[1], &text)) {
        std::fprintf(stderr, "make_agreement_rc: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<std::string> lines;
    std::string error;
    if (!SplitLines(text, &lines, &error)) {
        std::fprintf(stderr, "make_agreement_rc: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (lines.empty()) {
        std::fprintf(stderr, "make_agreement_rc: %s is empty\n", argv[1]);
        return 1;
    }

    std::string literal;
    size_t length = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            literal += "\\r\\n";
            length += 2;
        }
        for (char c : lines[i]) {
            if (c == '"')
                literal += "\"\"";
            else if (c == '\\')
                literal += "\\\\";
            else
                literal += c;
            ++length;
        }
    }
    if (length > maxEntryLength) {
        std::fprintf(stderr, "make_agreement_rc: %zu characters, more than a string table entry holds (%zu)\n",
                     length, maxEntryLength);
        return 1;
    }

    // Only the file's name goes in, so the output does not depend on where
    // the tree was checked out.
    std::string name = argv[1];
    size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);

    FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::fprintf(stderr, "make_agreement_rc: cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out, "// Made by make_agreement_rc from %s; edit that file instead.\n", name.c_str());
    std::fprintf(out, "STRINGTABLE\nBEGIN\n    %d \"%s\"\nEND\n", agreementStringId, literal.c_str());
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "make_agreement_rc: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%zu characters\n", length);
    return 0;
}
