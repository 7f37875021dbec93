#pragma once
// What the window tests share: small data files packed with the program's own
// codec in a working directory of their own, and a recorder that stands in
// for the program's modal message boxes.
#include "Dialogs.h"
#include "LZRW1.h"
#include "PackedText.h"
#include "Streams.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

inline void WriteBytes(const QString& path, const std::string& bytes)
{
    std::ofstream(path.toStdString(), std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// A temporary directory that is the working directory while the object lives.
class WorkingDir {
public:
    WorkingDir() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~WorkingDir() { QDir::setCurrent(previous_); }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    void Write(const QString& name, const std::string& bytes) const { WriteBytes(Path(name), bytes); }
    // The two data files from unpacked text (code page 1250), packed.
    void WriteData(const std::string& index, const std::string& entries) const
    {
        Write(QStringLiteral("vokabar2.idx"), Pack(index));
        Write(QStringLiteral("vokabar2.dic"), Pack(entries, TCompressMode::Good));
    }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// The sample dictionary (code page 1250): index lines and their entries.
// "\x8a" is Š, "\x9a" š, "\xe8" č.
struct SampleDictionary {
    std::vector<std::string> headwords{
        "abandon", "court", "court of appeal", "Court of Justice", "damage",
        "\x8a" "teta", "\x9a" "tetnik", "the court", "verdict", "zone"};
    std::string index;
    std::string entries;

    SampleDictionary()
    {
        for (size_t i = 0; i < headwords.size(); ++i) {
            const std::string& word = headwords[i];
            index += word + ". " + word + " sample" + std::to_string(i) + "\r\n";
            entries += "\\par {\\b " + word + "} - prijevod" + std::to_string(i) + " \\'e8lanak.\r\n";
        }
    }
    int Count() const { return int(headwords.size()); }
    int Position(const std::string& word) const
    {
        for (size_t i = 0; i < headwords.size(); ++i)
            if (headwords[i] == word)
                return int(i);
        return -1;
    }
};

// Records every message box the program would show, instead of showing it.
class DialogRecorder {
public:
    DialogRecorder()
    {
        previous_ = dialogs::SetPresenter([this](const dialogs::Message& message) { shown.push_back(message); });
    }
    ~DialogRecorder() { dialogs::SetPresenter(previous_); }
    std::vector<dialogs::Message> shown;

private:
    dialogs::Presenter previous_;
};
