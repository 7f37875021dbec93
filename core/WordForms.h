#pragma once
// Word forms: which dictionary forms an inflected word has, the one thing the
// searches ask a morphology. "presudom" gives "presuda", "štete" gives
// "šteta" and "štetiti", "liabilities" gives "liability"; a dictionary form
// gives itself; a word no dictionary knows gives nothing.
//
// Words cross in code page 1250, small letters, as the searches hold them.
// The interface is all the matcher (FormMatcher.h) sees, so tests put a table
// in its place.
//
// HunspellWordForms answers from Hunspell's Croatian and English dictionaries
// (Debian's hunspell-hr and hunspell-en-us). Their text is in the encoding
// the .aff file's SET line names (UTF-8 for both today); forms that code page
// 1250 cannot hold are dropped, as no dictionary line could hold them. The
// dictionaries take a quarter of a second and some megabytes to load, so
// nothing loads them at start: the window starts the loading on a worker
// after its first paint (StartLoading), and a question asked before that
// waits for it or loads them itself.
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class Hunspell;

class WordForms {
public:
    virtual ~WordForms() = default;
    // The dictionary forms of one word, each once; empty when unknown.
    virtual std::vector<std::string> BaseForms(std::string_view word) = 0;
};

class HunspellWordForms : public WordForms {
public:
    struct Dictionary {
        std::string affix;   // the .aff file
        std::string words;   // the .dic file
    };
    // Croatian and English, where Debian installs them.
    static std::vector<Dictionary> Installed();

    explicit HunspellWordForms(std::vector<Dictionary> dictionaries = Installed());
    ~HunspellWordForms() override;

    // Loads the dictionaries on a worker; at most once.
    void StartLoading();
    // The dictionaries that opened (missing or unreadable ones are left out).
    size_t LoadedCount();

    std::vector<std::string> BaseForms(std::string_view word) override;

private:
    struct Loaded;
    static std::shared_ptr<Loaded> Load(const std::vector<Dictionary>& dictionaries);
    Loaded& Ready();

    std::vector<Dictionary> dictionaries_;
    std::once_flag started_;
    std::shared_future<std::shared_ptr<Loaded>> loaded_;
    std::mutex use_;   // Hunspell objects are not safe to share between threads
};
