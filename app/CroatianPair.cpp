#include "CroatianPair.h"

#include "Cp1250Text.h"

#include <QFileInfo>

#include <utility>

CroatianPair::CroatianPair(std::string indexFile, std::string entryFile)
    : indexFile_(std::move(indexFile)), entryFile_(std::move(entryFile))
{
}

QString CroatianPair::MissingFile() const
{
    for (const std::string* file : {&indexFile_, &entryFile_}) {
        const QString name = QString::fromStdString(*file);
        if (!QFileInfo(name).isFile())
            return name;
    }
    return QString();
}

void CroatianPair::Prepare()
{
    if (!loaded_ && !prepared_)
        prepared_ = std::make_unique<DataFilesInFlight>(indexFile_, entryFile_);
}

bool CroatianPair::Load(Tlzrw1Host* host, std::string& problem)
{
    if (loaded_)
        return true;
    problem.clear();
    const QString missing = MissingFile();
    if (!missing.isEmpty()) {
        problem = cp1250::FromUnicode(DictionaryStore::MissingFileMessage(missing)).toStdString();
        return false;
    }
    try {
        // Only the first problem is told: one message per switch.
        store_.Load(indexFile_, entryFile_,
                    [&problem](const Exception& damage) {
                        if (problem.empty())
                            problem = damage.what();
                    },
                    host, prepared_.get());
    } catch (const std::exception& error) {
        problem = error.what();
    }
    // Taken, or of no use any more; a failed pair is read anew next time.
    prepared_.reset();
    loaded_ = problem.empty();
    if (!loaded_) {
        // Half a dictionary would answer wrongly: none is kept.
        store_.LoadIndexText({});
        store_.LoadEntryText({});
    }
    return loaded_;
}
