#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/UserInteraction.h"

namespace cardmill::test {

// Answers the windows' questions from a script and records what they showed.
class FakeInteraction : public UserInteraction {
public:
    struct Message {
        std::string caption, text;
        Icon icon;
    };
    std::vector<Message> messages;
    std::vector<std::string> fileFilters;
    std::deque<std::optional<std::filesystem::path>> files;   // answers of the file dialogs, in turn
    std::deque<std::optional<std::string>> inputs;            // answers of the input boxes
    std::deque<std::optional<std::filesystem::path>> folders; // answers of the folder dialogs
    std::function<int(QDialog&)> onDialog;                    // stands in for a modal dialog
    std::vector<std::filesystem::path> opened;
    std::deque<Answer> answers; // answers of the questions, in turn (No when none is left)
    std::vector<std::string> questions;
    int beeps = 0;

    void message(QWidget*, const std::string& caption, const std::string& text, Icon icon) override
    {
        messages.push_back({caption, text, icon});
    }
    std::vector<Answer> preferred;                  // the button each question offered as the one Enter presses
    std::vector<std::filesystem::path> fileFolders; // where each file dialog started
    Answer ask(QWidget*, const std::string&, const std::string& text, Icon, bool, Answer prefer) override
    {
        questions.push_back(text);
        preferred.push_back(prefer);
        if (answers.empty())
            return Answer::No;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::filesystem::path> openFile(QWidget*, const std::string& filter,
                                                  const std::filesystem::path& folder) override
    {
        fileFilters.push_back(filter);
        fileFolders.push_back(folder);
        if (files.empty())
            return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    std::vector<std::filesystem::path> proposals; // what each save dialog proposed
    std::optional<std::filesystem::path> saveFile(QWidget*, const std::string& filter,
                                                  const std::filesystem::path& proposed) override
    {
        fileFilters.push_back(filter);
        proposals.push_back(proposed);
        if (files.empty())
            return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    std::optional<std::filesystem::path> chooseFolder(QWidget*, const std::filesystem::path&) override
    {
        if (folders.empty())
            return std::nullopt;
        auto f = folders.front();
        folders.pop_front();
        return f;
    }
    std::vector<std::string> lastCompletions; // what the last input box offered to complete
    std::string lastInitial;                  // and the text it started with
    std::optional<std::string> inputText(QWidget*, const std::string&, const std::string&,
                                         const std::vector<std::string>& completions,
                                         const std::string& initial) override
    {
        lastCompletions = completions;
        lastInitial = initial;
        if (inputs.empty())
            return std::nullopt;
        auto i = inputs.front();
        inputs.pop_front();
        return i;
    }
    int execDialog(QDialog& dialog) override { return onDialog ? onDialog(dialog) : 0; }
    void beep() override { ++beeps; }
    std::vector<std::filesystem::path> unopenable; // what no application opens
    bool openWithDesktop(const std::filesystem::path& file) override
    {
        for (const auto& u : unopenable)
            if (u == file)
                return false;
        opened.push_back(file);
        return true;
    }
};

} // namespace cardmill::test
