// Times the settings dialog of a real TPP_25Frame.dll over a word list of
// N lines, as a host meets it: ShowSettings until the window is up with
// its list filled; the same list chosen through "..." while the window
// shows (the system's file chooser included); then Add, Change and Delete
// of one entry, each from the click to its return. Prints one line per
// measure, in milliseconds.
// Usage: tpp-dialog-timing.exe PLUGIN.dll LINES [REPEATS]
// The settings file beside this program (Plugins\NAME.ini) is written anew.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "plugin/host_interface.h"
#include "tests/win32/host_side.h"
#include "ui/settings_dialog_ids.h"

namespace {

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Word lists as users keep them: a word, " - ", a translation; sorted.
void WriteList(const std::string& path, int lines) {
    std::vector<std::string> entries;
    for (int i = 0; i < lines; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "word%06d - \xF1\xEB\xEE\xE2\xEE %d", i, i);  // слово, Windows-1251
        entries.push_back(line);
    }
    std::sort(entries.begin(), entries.end());
    std::ofstream out(path, std::ios::binary);
    for (const std::string& entry : entries) out << entry << "\r\n";
}

// Answers the system's modal windows from a thread of its own while the
// dialog's thread waits in them: the save question with "No" (or, where it
// has two answers, "Cancel": both drop the edits and switch), and the file
// chooser with the list's name and OK.
struct ChooserAnswer {
    std::wstring path;
    DWORD thread;
    volatile bool chosen = false;
    volatile bool done = false;  // the click has returned
};

BOOL CALLBACK AnswerWindow(HWND window, LPARAM param) {
    auto* answer = reinterpret_cast<ChooserAnswer*>(param);
    wchar_t name[16];
    GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    if (GetWindowThreadProcessId(window, nullptr) != answer->thread) return TRUE;
    for (const int edit : {0x47C, 0x480}) {  // the chooser's name box, new style and old
        if (!GetDlgItem(window, edit) || answer->chosen) continue;
        SetDlgItemTextW(window, edit, answer->path.c_str());
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        answer->chosen = true;
        return FALSE;
    }
    const int button = GetDlgItem(window, IDNO) ? IDNO : IDCANCEL;
    if (!GetDlgItem(window, button)) return TRUE;  // the settings dialog itself
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return FALSE;
}

DWORD WINAPI AnswerChooser(LPVOID param) {
    auto* answer = static_cast<ChooserAnswer*>(param);
    for (int i = 0; i < 6000 && !answer->done; ++i) {
        EnumWindows(AnswerWindow, reinterpret_cast<LPARAM>(answer));
        Sleep(10);
    }
    return 0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tpp-dialog-timing PLUGIN.dll LINES [REPEATS]\n");
        return 2;
    }
    const int lines = std::atoi(argv[2]);
    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    const std::string folder = ProgramFolder();
    const std::string list = folder + "dialog-timing.dic";
    WriteList(list, lines);
    std::string plugin = argv[1];
    std::string base = plugin.substr(plugin.find_last_of("\\/") + 1);
    base.resize(base.rfind('.'));
    CreateDirectoryA((folder + "Plugins").c_str(), nullptr);
    std::ofstream(folder + "Plugins\\" + base + ".ini", std::ios::binary)
        << "[PluginSettings]\r\nDicType=1\r\nDicFileName=" << list << "\r\n";

    HMODULE module = LoadLibraryA(plugin.c_str());
    if (!module) {
        std::fprintf(stderr, "cannot load %s (%lu)\n", plugin.c_str(), GetLastError());
        return 1;
    }
    const auto record = reinterpret_cast<PluginRecordExport>(
        reinterpret_cast<void*>(GetProcAddress(module, "Telvoria_Plugin_PR")))();
    HWND host = CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                nullptr, nullptr);
    HostWindowRecord hostRecord = {host};
    record->Init();

    std::vector<double> open, choose, add, change, remove;
    wchar_t wideList[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, list.c_str(), -1, wideList, MAX_PATH);
    for (int round = 0; round < repeats; ++round) {
        PumpMessages();
        double start = Now();
        record->ShowSettings(&hostRecord);
        PumpMessages();  // the window painted, list included
        open.push_back(Now() - start);
        HWND dialog = FindOwnedDialogs(host).found;
        if (!dialog) {
            std::fprintf(stderr, "no dialog\n");
            return 1;
        }
        // The list chosen anew through "...", as a user opens one: the
        // chooser's own time included.
        ChooserAnswer answer = {wideList, GetCurrentThreadId()};
        HANDLE answering = CreateThread(nullptr, 0, AnswerChooser, &answer, 0, nullptr);
        start = Now();
        Click(dialog, IDC_DIC_CHOOSE);
        PumpMessages();
        choose.push_back(Now() - start);
        answer.done = true;
        WaitForSingleObject(answering, INFINITE);
        CloseHandle(answering);
        HWND list = GetDlgItem(dialog, IDC_ENTRY_LIST);
        const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        if (count != lines) std::fprintf(stderr, "the list shows %d lines of %d\n", count, lines);

        // An entry in the middle, so that half the list moves.
        SetDlgItemTextW(dialog, IDC_WORD, L"word025000x - added");
        start = Now();
        Click(dialog, IDC_ENTRY_ADD);
        PumpMessages();
        add.push_back(Now() - start);
        SetDlgItemTextW(dialog, IDC_WORD, L"word025000y - changed");
        start = Now();
        Click(dialog, IDC_ENTRY_CHANGE);
        PumpMessages();
        change.push_back(Now() - start);
        start = Now();
        Click(dialog, IDC_ENTRY_DELETE);
        PumpMessages();
        remove.push_back(Now() - start);
        Click(dialog, IDC_OK);
        PumpMessages();
    }
    std::printf("lines %d, median of %d\n", lines, repeats);
    std::printf("open %.1f ms\nchoose %.1f ms\nadd %.1f ms\nchange %.1f ms\ndelete %.1f ms\n", Median(open),
                Median(choose), Median(add), Median(change), Median(remove));
    record->Exit();
    DestroyWindow(host);
    FreeLibrary(module);
    return 0;
}
