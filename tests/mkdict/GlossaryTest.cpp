// The glossary as we ship it (data/glossary/*.txt): it parses as mkdict reads
// it, it is as large as promised, every cross-reference ("usp.") leads to an
// entry that exists, and the terminology review's findings stay applied.
#include "DictBuild.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

namespace fs = std::filesystem;
using namespace mkdict;

namespace {

class Glossary : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::vector<std::string> files;
        for (const auto& file : fs::directory_iterator(TARVENA_GLOSSARY_DIR))
            if (file.path().extension() == ".txt")
                files.push_back(file.path().string());
        std::sort(files.begin(), files.end());
        Source source;
        std::vector<Entry> entries;
        for (const std::string& file : files)
            ReadGlossary(file, 0, entries, source);
        for (const Entry& entry : entries)
            for (const Sense& sense : entry.senses)
                senses_[entry.headword].push_back(sense);
    }

    static const std::vector<Sense>* Senses(const std::string& headword)
    {
        const auto it = senses_.find(headword);
        return it == senses_.end() ? nullptr : &it->second;
    }
    static std::string FirstEquivalent(const Sense& sense) { return sense.equivalents.substr(0, sense.equivalents.find("; ")); }

    static std::map<std::string, std::vector<Sense>> senses_;
};
std::map<std::string, std::vector<Sense>> Glossary::senses_;

TEST_F(Glossary, HoldsAtLeastEightThousandHeadwords)
{
    EXPECT_GE(senses_.size(), 8000u);
}

TEST_F(Glossary, EveryCrossReferenceLeadsToAnEntry)
{
    // "usp. court settlement", "usp. claim (parnični postupak)": the target
    // and, where named, its field.
    const std::regex pointer(R"(usp\. ([^;()]+?)(?: \(([^)]+)\))?(?=;|$))");
    size_t checked = 0;
    for (const auto& [headword, senses] : senses_)
        for (const Sense& sense : senses)
            for (std::sregex_iterator it(sense.note.begin(), sense.note.end(), pointer), end; it != end; ++it) {
                const std::string target = (*it)[1];
                const std::string field = (*it)[2];
                // "usp. void, voidable" names two entries.
                std::vector<std::string> targets{target};
                if (!Senses(target))
                    for (size_t from = 0, comma; from <= target.size(); from = comma + 2) {
                        comma = std::min(target.find(", ", from), target.size());
                        targets.push_back(target.substr(from, comma - from));
                    }
                for (size_t t = targets.size() > 1 ? 1 : 0; t < targets.size(); ++t) {
                    const std::vector<Sense>* found = Senses(targets[t]);
                    ASSERT_NE(found, nullptr) << headword << ": usp. " << targets[t];
                    if (!field.empty()) {
                        EXPECT_TRUE(std::any_of(found->begin(), found->end(), [&](const Sense& s) { return s.field == field; }))
                            << headword << ": usp. " << targets[t] << " (" << field << ")";
                    }
                    ++checked;
                }
            }
    EXPECT_GE(checked, 500u);
}

TEST_F(Glossary, TheTerminologyReviewsFindingsStayApplied)
{
    // Headword, field (empty: any), and the statutory term that must come
    // first in one of its senses.
    const struct {
        const char* headword;
        const char* field;
        const char* first;
    } statutory[] = {
        {"gross negligence", "", "krajnja nepažnja"},
        {"principle of sincere cooperation", "", "načelo lojalne suradnje"},
        {"retrial", "kazneni postupak", "ponovno suđenje"},
        {"retrial", "parnični postupak", "ponavljanje postupka"},
        {"partnership", "", "ortaštvo"},
        {"diminished responsibility", "", "bitno smanjena ubrojivost"},
        {"right of retention", "", "pravo zadržanja"},
        {"lien", "", "pravo zadržanja"},
        {"statute of limitations", "", "zastara"},
        {"public prosecutor", "", "državni odvjetnik"},
        {"joint-stock company", "", "dioničko društvo"},
        {"restraining order", "", "zabrana približavanja"},
        {"misdemeanour court", "prekršajno pravo", "prekršajni sud"},
        {"enforceable", "ovršni postupak", "ovršan"},
        {"usufructuary", "", "plodouživatelj"},
        {"co-heir", "", "sunasljednik"},
        {"beneficial owner", "", "stvarni vlasnik"},
        {"subsidiary protection", "upravno pravo", "supsidijarna zaštita"},
        {"whistleblower", "", "prijavitelj nepravilnosti"},
        {"certified translation", "", "ovjereni prijevod"},
        {"notary", "", "javni bilježnik"},
        {"asylum", "upravno pravo", "azil"},
        {"misdemeanour", "prekršajno pravo", "prekršaj"},
        {"Council of Europe", "međunarodno pravo", "Vijeće Europe"},
        {"discretion", "upravno pravo", "slobodna ocjena"},
        {"whereas", "", "budući da"},
        {"having regard to", "", "uzimajući u obzir"},
        {"liquidated damages", "", "unaprijed ugovorena (paušalna) naknada štete"},
        {"religious marriage", "", "vjerski brak"},
        {"assault", "kazneno pravo", "napad"},
        {"representations and warranties", "", "izjave i jamstva"},
        {"best efforts", "", "obveza nastojanja"},
        {"change of control", "", "promjena kontrole"},
        {"closing", "", "provedba transakcije"},
        {"termination for convenience", "", "otkaz bez navođenja razloga"},
        {"non-solicitation clause", "", "klauzula o zabrani vrbovanja"},
        {"consequential loss", "", "posredna šteta"},
        {"wilful misconduct", "", "namjera"},
        {"assignment", "", "ustup tražbine"},
        {"notice of default", "", "opomena"},
        {"cure period", "", "primjereni naknadni rok"},
        {"set aside", "", "ukinuti"},
        {"vary", "", "preinačiti"},
        {"preliminary injunction", "", "privremena mjera"},
        {"standard of proof", "", "standard dokazivanja"},
        {"balance of probabilities", "", "prevaga vjerojatnosti"},
        {"litigant in person", "", "stranka bez punomoćnika"},
        {"leading question", "", "sugestivno pitanje"},
        {"letter of formal notice", "", "pismo opomene"},
        {"medical malpractice", "", "nesavjesno liječenje"},
        {"identity card", "", "osobna iskaznica"},
        {"passport", "", "putovnica"},
        {"traffic accident", "", "prometna nesreća"},
    };
    for (const auto& s : statutory) {
        const std::vector<Sense>* senses = Senses(s.headword);
        ASSERT_NE(senses, nullptr) << s.headword;
        EXPECT_TRUE(std::any_of(senses->begin(), senses->end(), [&](const Sense& sense) {
            return (!*s.field || sense.field == s.field) && FirstEquivalent(sense).rfind(s.first, 0) == 0;
        })) << s.headword << " (" << s.field << "): " << s.first;
    }
    for (const char* present : {"estoppel", "intestacy", "house arrest", "personal injury", "court order",
                                "legal costs", "summary judgment", "arbitral tribunal", "foreclosure",
                                "land registry", "surviving spouse", "death certificate", "venue",
                                "registered partnership"})
        EXPECT_NE(Senses(present), nullptr) << present;

    const auto anySense = [](const char* headword, auto&& test) {
        const std::vector<Sense>* senses = Senses(headword);
        return senses && std::any_of(senses->begin(), senses->end(), test);
    };
    EXPECT_TRUE(anySense("bribery", [](const Sense& s) {
        return s.equivalents.find("primanje mita") != std::string::npos && s.equivalents.find("davanje mita") != std::string::npos;
    }));
    EXPECT_TRUE(anySense("dismissal of charges", [](const Sense& s) {
        for (const char* stage : {"odbačaj kaznene prijave", "odbacivanje optužnice", "obustava postupka"})
            if (s.equivalents.find(stage) == std::string::npos)
                return false;
        return true;
    }));
    EXPECT_TRUE(anySense("county court", [](const Sense& s) { return s.note.find("County Court") != std::string::npos; }));
    EXPECT_FALSE(anySense("trust", [](const Sense& s) { return s.field == "stvarno pravo"; }));
    EXPECT_FALSE(anySense("Council of Europe", [](const Sense& s) { return s.field == "pravo EU"; }));
    EXPECT_TRUE(anySense("liquidated damages", [](const Sense& s) { return s.note.rfind("common law pojam", 0) == 0; }));
    EXPECT_TRUE(anySense("detention", [](const Sense& s) {
        return s.equivalents.find("lišenje slobode") != std::string::npos && s.equivalents.find("istražni zatvor") != std::string::npos;
    }));
    EXPECT_TRUE(anySense("ordinance", [](const Sense& s) {
        return s.equivalents.find("odluka") != std::string::npos && s.equivalents.find("uredba") != std::string::npos;
    }));
    // Each sense of "appeal" explains itself: no two carry the same note.
    if (const std::vector<Sense>* appeal = Senses("appeal"))
        for (size_t i = 0; i < appeal->size(); ++i)
            for (size_t j = i + 1; j < appeal->size(); ++j)
                EXPECT_NE((*appeal)[i].note, (*appeal)[j].note) << "appeal, senses " << i + 1 << " and " << j + 1;
    EXPECT_FALSE(anySense("actual loss", [](const Sense& s) { return s.note.find("stvarna šteta") != std::string::npos; }));
}

} // namespace
