// Answers this process's message boxes from a second thread, the way a
// user presses OK, and keeps what they said.
#pragma once
#include <windows.h>
#include <atomic>
#include <string>
#include <vector>

class BoxAnswerer {
public:
    struct Box {
        std::string caption;
        std::string text;
        HWND owner;
    };

    BoxAnswerer() : thread_(CreateThread(NULL, 0, Run, this, 0, NULL)) {}
    ~BoxAnswerer()
    {
        stop_ = true;
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
    }
    std::vector<Box> Boxes() const { return boxes_; }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Box& box : boxes_)
            texts.push_back(box.text);
        return texts;
    }

private:
    static BOOL CALLBACK Answer(HWND window, LPARAM self)
    {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        // Tests in other processes show the same boxes at the same time.
        if (owner != GetCurrentProcessId() || strcmp(className, "#32770") != 0 || !GetDlgItem(window, 0xFFFF) ||
            !IsWindowVisible(window))
            return TRUE;
        Box box;
        char text[2048] = "";
        GetWindowTextA(window, text, sizeof text);
        box.caption = text;
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        box.text = text;
        box.owner = GetWindow(window, GW_OWNER);
        ((BoxAnswerer*)self)->boxes_.push_back(box);
        SendMessageA(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }

    static DWORD WINAPI Run(void* self)
    {
        BoxAnswerer* answerer = (BoxAnswerer*)self;
        while (!answerer->stop_) {
            EnumWindows(Answer, (LPARAM)self);
            Sleep(10);
        }
        return 0;
    }

    std::atomic<bool> stop_{false};
    std::vector<Box> boxes_;
    HANDLE thread_;
};
