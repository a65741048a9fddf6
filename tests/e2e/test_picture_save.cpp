// pictavo.exe saving over a picture that is already there, on a disk of
// its own: tests/e2e/arrange/PictureSave.sh links P as a 1 MB disk. The
// program runs from a folder on C with a configuration that fixes the
// canvas, so that the size of every saved picture is known.
#include "flows.h"
#include <gtest/gtest.h>
#include <set>

using namespace e2e;

namespace {

const char programFolder[] = "C:\\PictureSave";
const char picture[] = "P:\\picture.bmp";
const char saveCaption[] = "Save Drawing";
// 320 x 240 at 24 bits: rows of 960 bytes after the two headers.
const DWORD pictureBytes = 14 + 40 + 960 * 240;

// Bytes that no picture of the program could hold by chance.
std::string OldPicture(size_t size)
{
    std::string bytes(size, 0);
    for (size_t i = 0; i < size; i++)
        bytes[i] = (char)(i * 7 % 251);
    return bytes;
}

// The program, fresh from the build, in a folder of its own.
std::string InstallProgram()
{
    CreateDirectoryA(programFolder, NULL);
    std::string exe = std::string(programFolder) + "\\pictavo.exe";
    EXPECT_TRUE(CopyFileA(Original("pictavo.exe").c_str(), exe.c_str(), FALSE)) << "copy pictavo.exe";
    EXPECT_TRUE(WriteAll(std::string(programFolder) + "\\pictavo.cfg", "[Canvas]\r\nWidth=320\r\nHeight=240\r\n"));
    return exe;
}

// Save as BMP over `picture`, with Yes to the dialog's question whether
// to replace it.
void SaveOverPicture(Installer& pictavo, HWND main)
{
    pictavo.Key(main, "ctrl+s", "save");
    HWND dialog = pictavo.WaitWindow("Save as BMP", "the Save dialog");
    // The dialog opens with its proposed name selected: typing replaces it.
    pictavo.Type(dialog, picture, "type the picture's path");
    pictavo.Key(dialog, "Return", "save it");
    MessageBoxInfo question = pictavo.WaitMessageBox("Save as BMP", "the question whether to replace it");
    pictavo.Shot("replace-question");
    pictavo.Answer(question, "Yes", "replace it");
    pictavo.WaitGone(dialog, "the Save dialog closes");
}

void Close(Installer& pictavo, HWND main)
{
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, pictavo.WaitExit("pictavo.exe ends"));
}

} // namespace

// The disk holds a smaller old picture and has room for part of the new
// one, but not for all of it, even in the old one's place: the save fails
// half-way through, says so, and the old picture stays. With room again,
// saving over it replaces it with the new drawing.
TEST(PictureSave, ADiskThatFillsUpKeepsTheOldPictureThenWithRoomTheNewDrawingReplacesIt)
{
    if (GetDriveTypeA("P:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no 1 MB disk: mounting a tmpfs needs root";
    std::string old = OldPicture(100000);
    ASSERT_TRUE(WriteAll(picture, old));
    ASSERT_GT(FreeBytes("P:\\"), 128 * 1024u);
    ASSERT_TRUE(WriteAll("P:\\filler", std::string((size_t)FreeBytes("P:\\") - 64 * 1024, 'f')));
    ULONGLONG room = FreeBytes("P:\\");
    ASSERT_GT(room, 0u) << "the headers and the first rows still fit";
    ASSERT_LT(room + old.size(), pictureBytes) << "the whole picture does not";

    Installer pictavo("", "", InstallProgram());
    HWND main = pictavo.WaitWindow("Pictavo", "pictavo.exe opens");
    SaveOverPicture(pictavo, main);
    MessageBoxInfo error = pictavo.WaitMessageBox(saveCaption, "the message that the save failed");
    pictavo.Shot("save-failed");
    EXPECT_EQ(0u, error.text.find(std::string("The picture could not be saved as\r\n") + picture + "\r\n"))
        << error.text;
    EXPECT_NE(std::string::npos, error.text.find("(error 112)")) << "the disk is full: " << error.text;
    pictavo.Answer(error, "OK", "close the message");
    EXPECT_TRUE(ReadAll(picture) == old) << "the old picture, byte for byte";
    EXPECT_EQ((std::set<std::string>{"filler", "picture.bmp"}), NamesIn("P:\\")) << "no part of the new one is left";

    ASSERT_TRUE(DeleteFileA("P:\\filler"));
    // A dot at (20, 30) on the canvas, in the default pen: RGB(0, 0, 136).
    POINT dot = {20, 30};
    ClientToScreen(main, &dot);
    pictavo.ClickAt(dot.x, dot.y, "draw a dot");
    SaveOverPicture(pictavo, main);
    // Saved: closing asks nothing more.
    Close(pictavo, main);

    std::string saved = ReadAll(picture);
    ASSERT_EQ(pictureBytes, saved.size());
    EXPECT_EQ("BM", saved.substr(0, 2));
    // Rows are stored bottom-up, three bytes a pixel, blue first.
    size_t atDot = 54 + (240 - 1 - 30) * 960 + 20 * 3;
    EXPECT_EQ(std::string("\x88\0\0", 3), saved.substr(atDot, 3)) << "the dot";
    EXPECT_EQ(std::string(3, '\xff'), saved.substr(54, 3)) << "a corner far from the dot";
    EXPECT_EQ(std::set<std::string>{"picture.bmp"}, NamesIn("P:\\")) << "nothing left beside the picture";
}
