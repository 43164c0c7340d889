// The settings dialog in a host of our own: a plug-in instance made in this
// program (whose own module holds the dialog's template, as the DLL's does
// for a real host), a top-level host window, and helpers that drive the
// dialog by messages and pump the thread's queue as a host would.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "plugin/host_interface.h"
#include "plugin/plugin_instance.h"
#include "tests/support/test_instance.h"
#include "ui/win32/settings_dialog.h"

class DialogTest : public ::testing::Test {
protected:
    DialogTest();
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // ShowSettings with the host window; the dialog's window, or null.
    HWND Open();
    HWND Dialog() const;
    HWND Item(int id) const { return GetDlgItem(Dialog(), id); }

    // Handles what is queued now, then keeps pumping for the given time;
    // keys for a dialog go through IsDialogMessage, as a host's loop does.
    static void Pump(DWORD milliseconds = 0);
    void Click(int id) const;
    // The up-down's position, as its arrows would set it.
    void SetSpin(int id, int value) const;
    std::string Text(int id) const;
    bool Checked(int id) const;
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    void SelectLine(int index) const;
    // The mouse pointer to the control's centre.
    void PointAt(int id) const;
    void TypeWord(const std::string& text) const;
    // Keyboard messages to the control that has the focus, then a Pump.
    static void TypeKeys(const std::wstring& text);
    static void PressKey(WPARAM key);

    // The settings file's text after Exit (and a fresh Init).
    std::string SettingsFileAfterExit();
    static std::string Folder();
    static std::string SettingsPath();

    // The callbacks, on the test's instance.
    void PluginInit() { plugin->Init(); }
    void PluginExit() { plugin->Exit(); }
    void PluginShowSettings(const HostWindowRecord* record);
    // The alternative dictionary that the working settings name.
    void LoadAltDictionary();
    bool AltDictionaryChanged() { return DictionariesOf(*plugin).AltDictionaryChanged(); }
    std::vector<std::string> AltDictionaryLines() { return DictionariesOf(*plugin).AltDictionaryLines(); }
    // The working settings, read and changed as the dialog does.
    SettingsRecord Working() const { return plugin->Settings(); }
    template <class Change>
    void Set(Change change) {
        SetWorking(*plugin, change);
    }

    static HWND host;
    HostWindowRecord hostRecord = {};
    std::unique_ptr<PluginInstance> plugin;
    // What the tests look at, under the names the plug-in gives them.
    SettingsDialog& settingsDialog;
    SettingsRecord& defaultSettings;
    SettingsRecord& dialogSnapshot;
    int32_t& DlgWndPosX;
    int32_t& DlgWndPosY;
    CommonDialogs& commonDialogs;
    HHOOK& mouseHook;
};

// Non-default values for every one of the 23 settings.
SettingsRecord ChangedSettings();
