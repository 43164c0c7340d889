// The settings dialog in a host of our own: the plug-in's callbacks linked
// into this program, a top-level host window, and helpers that drive the
// dialog by messages and pump the thread's queue as a host would.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "plugin/host_interface.h"
#include "settings/settings_record.h"

class DialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // ShowSettings with the host window; the dialog's window, or null.
    HWND Open();
    HWND Dialog() const;
    HWND Item(int id) const { return GetDlgItem(Dialog(), id); }

    // Handles what is queued now, then keeps pumping for the given time.
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

    // The settings file's text after Exit (and a fresh Init).
    std::string SettingsFileAfterExit();
    static std::string Folder();
    static std::string SettingsPath();

    static HWND host;
    HostWindowRecord hostRecord = {};
};

// Non-default values for every one of the 23 settings.
SettingsRecord ChangedSettings();
