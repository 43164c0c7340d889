// Two processes saving the same settings file and the same word list at
// the same moment, round after round, as two instances that share the
// per-user file and stop together: every save must succeed, and each file
// must then be what one of them wrote, with what each owns in it, never a
// mix. TPP_SAVE_ROUNDS sets the rounds (300 by default).
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "dictionary/dictionary_store.h"
#include "settings/settings_persistence.h"
#include "settings/settings_state.h"
#include "tests/native/temp_folder.h"

namespace {

int Rounds() {
    const char* value = std::getenv("TPP_SAVE_ROUNDS");
    return value && *value ? std::atoi(value) : 300;
}

// Shared by the two writers: a barrier and the tallies.
struct Shared {
    std::atomic<int> arrived{0};
    std::atomic<int> generation{0};
    std::atomic<int> mixedSettings{0};
    std::atomic<int> lostWalks{0};
    std::atomic<int> mixedLists{0};
    std::atomic<int> falseSuccesses{0};
    std::atomic<int> failedSaves{0};
    std::atomic<bool> listSaved[2];

    void Wait() {
        const int seen = generation.load();
        if (arrived.fetch_add(1) == 1) {
            arrived = 0;
            generation.fetch_add(1);
        } else {
            while (generation.load() == seen) {
            }
        }
    }
};

struct Writer {
    int id;
    const TempFolder& dir;
    Shared& shared;

    std::string Own(const std::string& name) const { return dir / (name + std::to_string(id)); }

    void Run(int rounds) {
        SettingsState settings, own;
        settings.settingsFile.UsePath(dir / "shared.ini");
        own.settingsFile.UsePath(Own("own.ini"));
        LoadSettings(settings);
        LoadSettings(own);
        for (int round = 0; round < rounds; ++round) {
            // What each writes is of another length: a file that both wrote
            // at once would show the longer one's end.
            const auto change = [&](SettingsRecord& s) {
                s.StringPosX = round;
                s.CurIntEntry = round;
                s.FontName = std::string(1 + 20 * id, 'W') + std::to_string(round);
            };
            settings.workingSettings.Change(change);
            own.workingSettings.Change(change);
            // The element's walk of a list of its own, which the other
            // writer must leave as it is.
            WalkPositions walks;
            walks.builtin = round;
            walks.lists = {{"/lists/" + std::to_string(id) + ".dic", round}};
            DictionaryStore list;
            const std::string first = "w" + std::to_string(id) + " r" + std::to_string(round) + " line ";
            for (int line = 0; line < 40 + 60 * id; ++line) list.AddAltEntry(first + std::to_string(line) + " - x");
            // The same saves alone, to compare with.
            if (!SaveSettings(own) || !SaveWalkPositions(own, walks) || !list.SaveAltDictionary(Own("own.dic")))
                ADD_FAILURE() << "a save of a file of its own failed";
            list.AddAltEntry(first + "0 - x");  // changed again, as it is

            shared.Wait();
            const bool settingsSaved = SaveSettings(settings) && SaveWalkPositions(settings, walks);
            shared.listSaved[id] = static_cast<bool>(list.SaveAltDictionary(dir / "shared.dic"));
            if (!settingsSaved || !shared.listSaved[id]) ++shared.failedSaves;
            shared.Wait();
            if (id == 0) Check(round);
            shared.Wait();
        }
    }

    // The settings file is one writer's section with both walks in it, in
    // the order they were first written; the list is one writer's.
    void Check(int round) const {
        const std::string walk[2] = {"/lists/0.dic=" + std::to_string(round) + "\r\n",
                                     "/lists/1.dic=" + std::to_string(round) + "\r\n"};
        const std::string now = ReadBytes(dir / "shared.ini");
        bool whole = false, bothWalks = false;
        for (int w = 0; w < 2; ++w) {
            const std::string alone = ReadBytes(dir / ("own.ini" + std::to_string(w)));
            const std::string section = alone.substr(0, alone.find(walk[w]));
            whole = whole || now.rfind(section, 0) == 0;
            bothWalks = bothWalks || now == section + walk[0] + walk[1] || now == section + walk[1] + walk[0];
        }
        if (!whole) ++shared.mixedSettings;
        if (whole && !bothWalks) ++shared.lostWalks;

        const std::string list = ReadBytes(dir / "shared.dic");
        const bool is[2] = {list == ReadBytes(dir / "own.dic0"), list == ReadBytes(dir / "own.dic1")};
        if (!is[0] && !is[1]) ++shared.mixedLists;
        // A save that said it was written: its list is there, or the other
        // one's that was written after it.
        for (int w = 0; w < 2; ++w)
            if (shared.listSaved[w] && !is[w] && !(shared.listSaved[1 - w] && is[1 - w])) ++shared.falseSuccesses;
    }
};

TEST(ConcurrentSaves, SettingsFileAndWordListStayWhole) {
    TempFolder dir;
    void* memory = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    Shared& shared = *new (memory) Shared;
    const int rounds = Rounds();
    pid_t writers[2];
    for (int id = 0; id < 2; ++id) {
        writers[id] = fork();
        if (writers[id] == 0) {
            Writer{id, dir, shared}.Run(rounds);
            _exit(::testing::Test::HasFailure() ? 1 : 0);
        }
    }
    for (pid_t writer : writers) {
        int status = 0;
        waitpid(writer, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::printf(
        "%d rounds: settings file mixed %d, a walk lost %d; word list mixed %d; false successes %d; failed saves %d\n",
        rounds, shared.mixedSettings.load(), shared.lostWalks.load(), shared.mixedLists.load(),
        shared.falseSuccesses.load(), shared.failedSaves.load());
    EXPECT_EQ(shared.mixedSettings, 0);
    EXPECT_EQ(shared.lostWalks, 0);
    EXPECT_EQ(shared.mixedLists, 0);
    EXPECT_EQ(shared.falseSuccesses, 0);
    EXPECT_EQ(shared.failedSaves, 0);
    munmap(memory, sizeof(Shared));
}

}  // namespace
