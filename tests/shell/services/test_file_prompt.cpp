// File prompts: the filters offered, where the prompt starts, and the absolute path it returns.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/services/file_prompt.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {
// Answers with a scripted name and keeps the request it was shown; with names queued, answers
// with each in turn, then cancels.
struct ScriptedPrompter : FilePrompter {
    std::optional<std::string> answer;
    std::vector<std::string> queued;
    int asked = 0;
    FilePromptRequest seen;
    std::optional<std::string> choose(const FilePromptRequest& request) override {
        seen = request;
        ++asked;
        if (queued.empty()) return answer;
        const std::string next = queued.front();
        queued.erase(queued.begin());
        return next;
    }
};

std::vector<std::string> patterns(const std::vector<FilterPair>& pairs) {
    std::vector<std::string> p;
    for (const FilterPair& f : pairs) p.push_back(f.pattern);
    return p;
}
}  // namespace

TEST(FileFilters, SettingTextGivesItsPatternOrAllFiles) {
    EXPECT_EQ(filter_pair("Control Files (*.con)"), (FilterPair{"Control Files (*.con)", "*.con"}));
    EXPECT_EQ(filter_pair("  Text Files (*.txt)  "), (FilterPair{"Text Files (*.txt)", "*.txt"}));
    const FilterPair all{"All Files (*.*)", "*.*"};
    EXPECT_EQ(filter_pair("Text Files"), all);
    EXPECT_EQ(filter_pair("Odd (x)"), all);  // fewer than two characters inside
    EXPECT_EQ(filter_pair("Closed first ) then ("), all);
}

TEST(FileFilters, PromptsAddWhatTheCallerLacksAndBatchPromptsOfferBatchFilesFirst) {
    const std::vector<FilterPair> con{{"Control Files (*.con)", "*.con"}};
    EXPECT_EQ(patterns(prompt_filters("Control File", con)),
              (std::vector<std::string>{"*.con", "*.txt", "*.dat", "*.*"}));

    const std::vector<FilterPair> text_and_all{{"Text Files (*.txt)", "*.txt"}, {"All Files (*.*)", "*.*"}};
    EXPECT_EQ(patterns(prompt_filters("Report Output File", text_and_all)),
              (std::vector<std::string>{"*.txt", "*.*", "*.con", "*.dat"}));

    const std::vector<FilterPair> batch = prompt_filters("Batch file to run", {{"All Files (*.*)", "*.*"}});
    ASSERT_EQ(batch.size(), 2u);
    EXPECT_EQ(batch[0], (FilterPair{"Batch Files (*.bat)", "*.bat"}));
    EXPECT_EQ(patterns(prompt_filters("Batch file to edit", con)),
              (std::vector<std::string>{"*.bat", "*.con", "*.*"}));

    EXPECT_EQ(dialog_filter_text(prompt_filters("Batch file to run", con)),
              "Batch Files (*.bat);;Control Files (*.con);;All Files (*)");
}

TEST(FilePrompt, ReturnsTheAbsolutePathAndMovesToItsFolder) {
    ScratchDir start, other;
    CwdGuard cwd;
    ASSERT_EQ(::chdir(start.path.c_str()), 0);
    const std::string here = std::filesystem::current_path().string();
    ScriptedPrompter prompter;
    std::vector<std::string> shown;
    auto window = [&](std::string_view l) { shown.emplace_back(l); };

    // A name relative to the starting folder stays there: no folder change is shown.
    prompter.answer = "exam.con";
    EXPECT_EQ(prompt_for_file_name(prompter, window, "Control File", "Control Files (*.con)", FilePromptMode::Open),
              here + "/exam.con");
    EXPECT_EQ(prompter.seen.directory, here + "/");
    EXPECT_EQ(prompter.seen.initial_name, here + "/*.con");
    EXPECT_EQ(prompter.seen.mode, FilePromptMode::Open);
    EXPECT_TRUE(shown.empty());

    // A file in another folder: that folder becomes current and the change is shown; the
    // answer is still absolute, so a later prompt cannot change what it names.
    const std::string elsewhere = std::filesystem::canonical(other.path).string();
    prompter.answer = elsewhere + "/sub/../out.txt";
    const std::string chosen =
        prompt_for_file_name(prompter, window, "PFILE=", "All Files (*.*)", FilePromptMode::Save);
    EXPECT_EQ(chosen, elsewhere + "/out.txt");
    EXPECT_EQ(prompter.seen.mode, FilePromptMode::Save);
    EXPECT_EQ(shown, (std::vector<std::string>{" Current Directory: " + elsewhere}));
    EXPECT_EQ(std::filesystem::current_path().string(), elsewhere);

    prompter.answer.reset();
    EXPECT_EQ(prompt_for_file_name(prompter, window, "Control File", "", FilePromptMode::Open), "");
    EXPECT_EQ(shown.size(), 1u);
}

TEST(FilePrompt, ANameToBeWrittenThatCannotBeIsSaidAndAskedForAgain) {
    ScratchDir start;
    CwdGuard cwd;
    ASSERT_EQ(::chdir(start.path.c_str()), 0);
    const std::string here = std::filesystem::current_path().string();
    write_file(start.file("kept.txt"), "earlier");
    std::filesystem::permissions(start.file("kept.txt"), std::filesystem::perms::owner_read);
    ScriptedPrompter prompter;
    std::vector<std::string> shown;
    auto window = [&](std::string_view l) { shown.emplace_back(l); };
    const std::string too_long = std::string(256, 'a');
    prompter.queued = {too_long, "none/out.txt", "kept.txt", "out.txt"};
    EXPECT_EQ(prompt_for_file_name(prompter, window, "Save As", "", FilePromptMode::Save), here + "/out.txt");
    EXPECT_EQ(prompter.asked, 4);
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "PROBLEM: File name too long (20036): for file: " + here + "/" + too_long + " in mode O",
                         "PROBLEM: Unusable Output File Name (2): for file: " + here + "/none/out.txt in mode O",
                         "PROBLEM: Access denied (5): for file: " + here + "/kept.txt in mode O"}));
    EXPECT_EQ(read_file(start.file("kept.txt")), "earlier");
    // Nothing is left of the tries; a file to be read is not tried.
    EXPECT_EQ(list_dir(start.path), std::vector<std::string>{"kept.txt"});
    prompter.queued = {"none/in.txt"};
    EXPECT_EQ(prompt_for_file_name(prompter, window, "Control File", "", FilePromptMode::Open), here + "/none/in.txt");
    std::filesystem::permissions(start.file("kept.txt"), std::filesystem::perms::owner_all);
}
