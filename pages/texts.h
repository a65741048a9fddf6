// Message texts that more than one page or browser shows.
#pragma once

constexpr char lowSpaceText[] = "You do not have enough Free disk space on this drive for installation. Change the "
                                "drive or remove some other program-s to free more disk space.";
constexpr char longDestinationText[] = "The path of the destination folder is too long.";
