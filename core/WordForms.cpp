#include "WordForms.h"

#include "Cp1250Text.h"

#include <hunspell.hxx>

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace {

// Hunspell's name for UTF-8 and the ISO names Qt's codecs know agree, except
// for the few spellings .aff files use for the same thing.
QByteArray CodecName(const std::string& set)
{
    QByteArray name = QByteArray::fromStdString(set).trimmed().toUpper();
    if (name.isEmpty())
        return "ISO-8859-1";   // Hunspell's own default
    if (name.startsWith("ISO8859-"))
        name.replace("ISO8859-", "ISO-8859-");
    return name;
}

} // namespace

struct HunspellWordForms::Loaded {
    struct Language {
        std::unique_ptr<Hunspell> speller;
        QStringEncoder encode;
        QStringDecoder decode;
    };
    std::vector<Language> languages;
};

std::vector<HunspellWordForms::Dictionary> HunspellWordForms::Installed()
{
    const std::string dir = "/usr/share/hunspell/";
    return {{dir + "hr_HR.aff", dir + "hr_HR.dic"}, {dir + "en_US.aff", dir + "en_US.dic"}};
}

HunspellWordForms::HunspellWordForms(std::vector<Dictionary> dictionaries) : dictionaries_(std::move(dictionaries))
{
}

HunspellWordForms::~HunspellWordForms()
{
    // A loading still running uses this object's list: let it finish.
    if (loaded_.valid())
        loaded_.wait();
}

std::shared_ptr<HunspellWordForms::Loaded> HunspellWordForms::Load(const std::vector<Dictionary>& dictionaries)
{
    auto loaded = std::make_shared<Loaded>();
    for (const Dictionary& dictionary : dictionaries) {
        // Hunspell itself says nothing useful about a file that is not there.
        if (!QFileInfo(QString::fromStdString(dictionary.affix)).isReadable()
            || !QFileInfo(QString::fromStdString(dictionary.words)).isReadable())
            continue;
        auto speller = std::make_unique<Hunspell>(dictionary.affix.c_str(), dictionary.words.c_str());
        const QByteArray codec = CodecName(speller->get_dic_encoding());
        QStringEncoder encode(codec.constData());
        QStringDecoder decode(codec.constData());
        if (!encode.isValid() || !decode.isValid())
            continue;
        loaded->languages.push_back({std::move(speller), std::move(encode), std::move(decode)});
    }
    return loaded;
}

void HunspellWordForms::StartLoading()
{
    std::call_once(started_, [this] {
        loaded_ = std::async(std::launch::async, &HunspellWordForms::Load, dictionaries_).share();
    });
}

HunspellWordForms::Loaded& HunspellWordForms::Ready()
{
    std::call_once(started_, [this] {
        std::promise<std::shared_ptr<Loaded>> here;
        here.set_value(Load(dictionaries_));
        loaded_ = here.get_future().share();
    });
    return *loaded_.get();
}

size_t HunspellWordForms::LoadedCount()
{
    return Ready().languages.size();
}

std::vector<std::string> HunspellWordForms::BaseForms(std::string_view word)
{
    std::vector<std::string> forms;
    if (word.empty())
        return forms;
    Loaded& loaded = Ready();
    const QString text = cp1250::ToUnicode(word);
    const std::lock_guard<std::mutex> lock(use_);
    for (Loaded::Language& language : loaded.languages) {
        const QByteArray encoded = language.encode.encode(text);
        if (language.encode.hasError()) {
            language.encode.resetState();
            continue;
        }
        for (const std::string& stem : language.speller->stem(encoded.toStdString())) {
            const QString unicode = language.decode.decode(QByteArray::fromStdString(stem));
            language.decode.resetState();
            const QByteArray bytes = cp1250::SearchKey(unicode.toLower());
            // A form holding a letter the code page lacks is in no dictionary line.
            if (bytes.isEmpty() || bytes.contains('\0'))
                continue;
            std::string form = bytes.toStdString();
            if (std::find(forms.begin(), forms.end(), form) == forms.end())
                forms.push_back(std::move(form));
        }
    }
    return forms;
}
