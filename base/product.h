// The product's names, as every layer shows or records them.
#pragma once
#include "payload_rows.h"
#include <stddef.h>

constexpr char productName[] = "Pictavo";          // folders, shortcuts, registry keys, messages
constexpr char setupCaption[] = "Pictavo - Setup"; // the title and the caption of Setup's messages

// The two product files that have a part of their own: the program, which
// may be running while the uninstaller works, and the uninstaller. Each
// begins with a backslash, as the payload's installed names do.
constexpr char programFile[] = PAYLOAD_FILE_PROGRAM;
constexpr char uninstallerFile[] = PAYLOAD_FILE_UNINSTALLER;

// The product's folder for the user's pictures, made empty by Setup in
// the product folder, where pictavo.exe saves them and which the
// uninstaller leaves while it holds any.
constexpr char picturesFolder[] = "PvFiles";

// The Start-menu links that Setup makes and the uninstaller removes: the
// link's file and the product file it opens, each beginning with a
// backslash, and its description.
struct ProductLink {
    const char* file;
    const char* target;
    const char* description;
};
constexpr ProductLink productLinks[] = {
    {"\\Pictavo.lnk", programFile, "Pictavo"},
    {"\\Uninstall.lnk", uninstallerFile, "Uninstall"},
    {"\\Readme.lnk", "\\Readme.wri", "Readme"},
};
constexpr int productLinkCount = sizeof productLinks / sizeof productLinks[0];

constexpr size_t LinkFileLength(int from = 0, size_t longest = 0)
{
    if (from == productLinkCount)
        return longest;
    size_t length = 0;
    while (productLinks[from].file[length])
        ++length;
    return LinkFileLength(from + 1, length > longest ? length : longest);
}
// The longest link's file name with its backslash, which the shortcut
// folder must leave room for.
constexpr size_t longestLinkFile = LinkFileLength();
