// The product's names, as every layer shows or records them.
#pragma once

constexpr char productName[] = "Pictavo";          // folders, shortcuts, registry keys, messages
constexpr char setupCaption[] = "Pictavo - Setup"; // the title and the caption of Setup's messages
