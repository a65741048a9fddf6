// The product's names, as every layer shows or records them.
#pragma once

constexpr char productName[] = "Pictavo";          // folders, shortcuts, registry keys, messages
constexpr char setupCaption[] = "Pictavo - Setup"; // the title and the caption of Setup's messages

// The two product files that have a part of their own: the program, which
// may be running while the uninstaller works, and the uninstaller. Each
// begins with a backslash, as the payload's installed names do.
constexpr char programFile[] = "\\pictavo.exe";
constexpr char uninstallerFile[] = "\\uninstall.exe";

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
