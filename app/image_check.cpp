#include "app/image_check.h"
#include "base/image_digest.h"
#include "base/product.h"
#include "base/exit_codes.h"
#include <windows.h>

namespace {

// tools/seal_image writes the digest here after linking. The section holds
// this word alone (the tool checks its size) and the digest leaves it out.
// Read as volatile: the value the compiler sees is not the one that runs.
__attribute__((section(".pvseal"))) const volatile uint32_t imageSeal = 0;

} // namespace

bool OwnImageIsIntact()
{
    // The image as the loader mapped it, never the file by its name, which
    // another program could have replaced since. Its first page holds the
    // headers, which tell the image's extent.
    const unsigned char* image = (const unsigned char*)GetModuleHandleA(NULL);
    PeLayout layout;
    uint32_t digest;
    return ReadPeLayout(image, 0x1000, &layout) && DigestMappedImage(image, layout.imageSize, &digest) &&
           digest == imageSeal;
}

int RefuseDamagedImage(bool silent)
{
    if (!silent)
        MessageBoxA(NULL, "The installer is damaged. Please download it again.", setupCaption, MB_OK | MB_ICONERROR);
    return ExitDamaged;
}
