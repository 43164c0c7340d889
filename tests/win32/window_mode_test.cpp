// The host's window mode driven by messages from another process, as a
// person drives it: the Settings menu command opens the plug-in's dialog
// owned by the host window, the dialog gets its keys through the host's
// loop, and closing the window ends the plug-in while the window lives.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tools/tpp-host/window_mode.h"

namespace {

constexpr int kWidth = 64, kHeight = 48;
constexpr size_t kFrameBytes = kWidth * kHeight * 3;

std::string BinFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.rfind('\\') + 1);
    return folder;
}

std::string TempPath(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "tpp_window_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

std::string HandleText(HWND window) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", static_cast<void*>(window));
    return text;
}

struct WindowSearch {
    DWORD processId;
    const std::function<bool(HWND)>& matches;
    HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && search.matches(window)) search.found = window;
    return search.found == nullptr;
}

class HostWindowMode : public ::testing::Test {
protected:
    void TearDown() override {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        DeleteFileA(inputPath_.c_str());
        DeleteFileA(logPath_.c_str());
    }

    // Starts the host in window mode on frames of a horizontal ramp,
    // with extra bytes that make the last frame incomplete.
    void Launch(int frames, size_t extraBytes = 0) {
        std::vector<char> input(kFrameBytes * static_cast<size_t>(frames) + extraBytes);
        for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<char>(i % 251);
        std::ofstream(inputPath_, std::ios::binary).write(input.data(), static_cast<std::streamsize>(input.size()));

        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE log = CreateFileA(logPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(log, INVALID_HANDLE_VALUE);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = log;
        startup.hStdError = log;
        std::string command = "\"" + BinFolder() + "tpp-host.exe\" --window --plugin \"" + BinFolder() +
                              "fake_plugin_v3.dll\" --size 64x48 --format rgb24 --rate 100 --input \"" + inputPath_ +
                              "\"";
        const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                            &startup, &process_);
        CloseHandle(log);
        ASSERT_TRUE(started) << "error " << GetLastError();
        hostWindow_ = WaitForWindow([](HWND window) {
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            return lstrcmpW(name, kHostWindowClass) == 0;
        });
        ASSERT_NE(hostWindow_, nullptr) << "the host window never appeared";
    }

    // Polls the host process's top-level windows for one that matches.
    HWND WaitForWindow(const std::function<bool(HWND)>& matches) {
        WindowSearch search = {process_.dwProcessId, matches, nullptr};
        for (int attempt = 0; attempt < 200 && !search.found; ++attempt) {
            EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
            if (!search.found) Sleep(50);
        }
        return search.found;
    }

    HWND WaitForSettingsDialog() {
        const HWND host = hostWindow_;
        return WaitForWindow([host](HWND window) {
            char name[16] = {};
            GetClassNameA(window, name, 16);
            return GetWindow(window, GW_OWNER) == host && lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window);
        });
    }

    bool WaitUntil(const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 200; ++attempt) {
            if (done()) return true;
            Sleep(50);
        }
        return false;
    }

    DWORD CloseAndWait() {
        PostMessageA(hostWindow_, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process_.hProcess, 10000), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

    // What the plug-in reported, in order, without the per-frame lines.
    std::vector<std::string> PluginReports() {
        std::ifstream log(logPath_);
        std::vector<std::string> reports;
        for (std::string line; std::getline(log, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind("fake-plugin: ", 0) == 0) reports.push_back(line.substr(13));
        }
        return reports;
    }

    std::string Log() {
        std::stringstream text;
        text << std::ifstream(logPath_).rdbuf();
        return text.str();
    }

    std::string inputPath_ = TempPath("input.rgb");
    std::string logPath_ = TempPath("log.txt");
    PROCESS_INFORMATION process_ = {};
    HWND hostWindow_ = nullptr;
};

TEST_F(HostWindowMode, SettingsOpensAnOwnedDialogServedByTheHostLoop) {
    Launch(40);
    ASSERT_TRUE(PostMessageA(hostWindow_, WM_COMMAND, kSettingsCommand, 0));
    HWND dialog = WaitForSettingsDialog();
    ASSERT_NE(dialog, nullptr) << "no dialog owned by the host window";

    // Escape reaches the dialog as its Cancel command only through
    // IsDialogMessage in the host's message loop.
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([dialog] { return !IsWindow(dialog); })) << "Escape did not close the dialog";

    EXPECT_EQ(CloseAndWait(), 0u) << Log();
    const std::vector<std::string> reports = PluginReports();
    ASSERT_EQ(reports.size(), 7u) << Log();
    EXPECT_EQ(reports[0], "Init");
    EXPECT_EQ(reports[1], "StreamStart 64x48 format 1");
    EXPECT_EQ(reports[2], "ShowSettings owner " + HandleText(hostWindow_));
    EXPECT_EQ(reports[3], "dialog cancel");
    EXPECT_EQ(reports[4], "dialog destroyed");
    EXPECT_EQ(reports[5].rfind("StreamStop after ", 0), 0u);
    EXPECT_EQ(reports[6], "Exit with the owner window alive");
}

TEST_F(HostWindowMode, ClosingWithTheDialogOpenEndsThePluginFirst) {
    Launch(40);
    PostMessageA(hostWindow_, WM_COMMAND, kSettingsCommand, 0);
    ASSERT_NE(WaitForSettingsDialog(), nullptr);

    EXPECT_EQ(CloseAndWait(), 0u) << Log();
    const std::vector<std::string> reports = PluginReports();
    ASSERT_EQ(reports.size(), 6u) << Log();
    EXPECT_EQ(reports[3].rfind("StreamStop after ", 0), 0u);
    EXPECT_EQ(reports[4], "Exit with the owner window alive");
    EXPECT_EQ(reports[5], "dialog destroyed");
}

TEST_F(HostWindowMode, PlaysEveryFrameThenHoldsTheLast) {
    Launch(12);
    HWND host = hostWindow_;
    EXPECT_TRUE(WaitUntil([host] {
        wchar_t title[128] = {};
        GetWindowTextW(host, title, 128);
        return std::wstring(title).find(L"(end of input)") != std::wstring::npos;
    }));
    EXPECT_EQ(CloseAndWait(), 0u) << Log();
    const std::vector<std::string> reports = PluginReports();
    ASSERT_EQ(reports.size(), 4u) << Log();
    EXPECT_EQ(reports[2], "StreamStop after 12 frames");
    EXPECT_NE(Log().find("showed 12 frames"), std::string::npos) << Log();
}

TEST_F(HostWindowMode, InputCutShortFailsTheRunAfterItsWholeFrames) {
    Launch(5, 100);
    HWND host = hostWindow_;
    EXPECT_TRUE(WaitUntil([host] {
        wchar_t title[128] = {};
        GetWindowTextW(host, title, 128);
        return std::wstring(title).find(L"(input cut short)") != std::wstring::npos;
    }));
    EXPECT_EQ(CloseAndWait(), 1u);
    EXPECT_NE(Log().find("ends inside frame 6"), std::string::npos) << Log();
    EXPECT_NE(Log().find("StreamStop after 5 frames"), std::string::npos) << Log();
}

}  // namespace
