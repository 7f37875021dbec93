#include "DictionaryCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

constexpr char kMagic[8] = {'T', 'V', 'L', 'K', 'U', 'P', 0, 1};
constexpr size_t kParts = 10;
constexpr size_t kHeaderSize = sizeof kMagic + 10 * 8 + kParts * 8;

size_t Padded(size_t n)
{
    return (n + 7) & ~size_t(7);
}

bool Identify(const QString& file, uint64_t* out)
{
    struct stat st {};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return false;
    out[0] = uint64_t(st.st_dev);
    out[1] = uint64_t(st.st_ino);
    out[2] = uint64_t(st.st_size);
    out[3] = uint64_t(st.st_mtim.tv_sec) * 1000000000u + uint64_t(st.st_mtim.tv_nsec);
    out[4] = uint64_t(st.st_ctim.tv_sec) * 1000000000u + uint64_t(st.st_ctim.tv_nsec);
    return true;
}

std::vector<uint32_t> Bounds(std::string_view bytes)
{
    std::vector<uint32_t> bounds(bytes.size() / sizeof(uint32_t));
    std::memcpy(bounds.data(), bytes.data(), bounds.size() * sizeof(uint32_t));
    return bounds;
}

std::string_view Bytes(const std::vector<uint32_t>& bounds)
{
    return std::string_view(reinterpret_cast<const char*>(bounds.data()), bounds.size() * sizeof(uint32_t));
}

} // namespace

DictionaryCache::DictionaryCache(const QString& indexFile, const QString& entryFile)
{
    const QString index = QFileInfo(indexFile).canonicalFilePath();
    const QString entries = QFileInfo(entryFile).canonicalFilePath();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (index.isEmpty() || entries.isEmpty() || folder.isEmpty() || !Identify(index, identity_.data())
        || !Identify(entries, identity_.data() + 5))
        return;
    sources_ = QFile::encodeName(index) + '\0' + QFile::encodeName(entries);
    const QByteArray key = QCryptographicHash::hash(sources_, QCryptographicHash::Sha1).toHex().left(20);
    path_ = QDir(folder).filePath(QStringLiteral("tarvena/lookup-%1.cache").arg(QString::fromLatin1(key)));
}

bool DictionaryCache::Open()
{
    open_ = false;
    if (path_.isEmpty())
        return false;
    // Only a regular file is opened: a FIFO put in its place would block the
    // open, a device would map as something else.
    if (!QFileInfo(path_).isFile())
        return false;
    file_.setFileName(path_);
    if (!file_.open(QIODevice::ReadOnly) || file_.size() < qint64(kHeaderSize))
        return false;
    const uchar* map = file_.map(0, file_.size());
    if (!map)
        return false;
    const char* base = reinterpret_cast<const char*>(map);
    const size_t size = size_t(file_.size());
    uint64_t identity[10];
    uint64_t sizes[kParts];
    std::memcpy(identity, base + sizeof kMagic, sizeof identity);
    std::memcpy(sizes, base + sizeof kMagic + sizeof identity, sizeof sizes);
    if (std::memcmp(base, kMagic, sizeof kMagic) != 0 || std::memcmp(identity, identity_.data(), sizeof identity) != 0)
        return false;
    std::string_view parts[kParts];
    size_t at = kHeaderSize;
    for (size_t i = 0; i < kParts; ++i) {
        if (sizes[i] > size - at || Padded(sizes[i]) > size - at)
            return false;
        parts[i] = std::string_view(base + at, sizes[i]);
        at += Padded(sizes[i]);
    }
    if (at != size || parts[0] != std::string_view(sources_.constData(), size_t(sources_.size())))
        return false;
    DictionaryStore::Parts& p = parts_;
    p.indexText = parts[1];
    p.indexStarts = Bounds(parts[2]);
    p.indexEnds = Bounds(parts[3]);
    p.entryText = parts[4];
    p.entryStarts = Bounds(parts[5]);
    p.entryEnds = Bounds(parts[6]);
    p.lowerIndex = parts[7];
    p.upperHeadwords = parts[8];
    p.headwordStarts = Bounds(parts[9]);
    open_ = true;
    return true;
}

bool DictionaryCache::Fill(DictionaryStore& store)
{
    if (!open_)
        return false;
    open_ = false;
    return store.AdoptParts(std::move(parts_));
}

// Removes the caches whose data files are gone (a folder of data that was
// deleted, a test's temporary folder): each names its files at its start.
static void RemoveOrphans(const QString& folder, const QString& keep)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("lookup-*.cache")}, QDir::Files)) {
        const QString path = dir.filePath(name);
        if (path == keep)
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray header = file.read(qint64(kHeaderSize + 2 * 4096));
        if (header.size() < qint64(kHeaderSize) || std::memcmp(header.constData(), kMagic, sizeof kMagic) != 0) {
            file.remove();
            continue;
        }
        uint64_t length;
        std::memcpy(&length, header.constData() + sizeof kMagic + 10 * 8, sizeof length);
        const QByteArray sources = header.mid(qsizetype(kHeaderSize), qsizetype(std::min<uint64_t>(length, 8192)));
        const QList<QByteArray> files = sources.split('\0');
        if (files.size() != 2 || !QFileInfo::exists(QFile::decodeName(files[0]))
            || !QFileInfo::exists(QFile::decodeName(files[1])))
            file.remove();
    }
}

void DictionaryCache::Save(const DictionaryStore& store)
{
    if (path_.isEmpty() || !QDir().mkpath(QFileInfo(path_).path()))
        return;
    const DictionaryStore::Parts p = store.GetParts();
    const std::string_view parts[kParts] = {
        std::string_view(sources_.constData(), size_t(sources_.size())),
        p.indexText,  Bytes(p.indexStarts), Bytes(p.indexEnds),      p.entryText,           Bytes(p.entryStarts),
        Bytes(p.entryEnds), p.lowerIndex,   p.upperHeadwords,        Bytes(p.headwordStarts),
    };
    QByteArray header(kMagic, sizeof kMagic);
    header.append(reinterpret_cast<const char*>(identity_.data()), sizeof(uint64_t) * identity_.size());
    for (const std::string_view part : parts) {
        const uint64_t n = part.size();
        header.append(reinterpret_cast<const char*>(&n), sizeof n);
    }
    // Written whole beside its place and renamed into it: a lookup running
    // at the same time maps either the old cache or the new one.
    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    static const char zeros[8] = {};
    bool ok = out.write(header) == header.size();
    for (const std::string_view part : parts) {
        ok = ok && out.write(part.data(), qint64(part.size())) == qint64(part.size())
            && out.write(zeros, qint64(Padded(part.size()) - part.size())) == qint64(Padded(part.size()) - part.size());
    }
    if (ok)
        out.commit();
    else
        out.cancelWriting();
    RemoveOrphans(QFileInfo(path_).path(), path_);
}
