#include "Lookup.h"

#include "Cp1250Text.h"
#include "DictionaryStore.h"
#include "ResultDocument.h"
#include "RtfReader.h"
#include "SearchEngine.h"
#include "SearchView.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextBlock>
#include <QTextDocument>

#include <vector>

namespace {

// The search box, the mode and the options as the command line sets them;
// what the engine shows is kept for the output.
class ConsoleView : public SearchView {
public:
    explicit ConsoleView(const LookupRequest& request) : request_(request), term_(request.term) {}

    QString comboText() const override { return term_; }
    void setComboText(const QString& text) override { term_ = text; }
    void appendHistory(const QString&) override {}
    void selectAllComboText() override {}
    bool wholeDictionaryMode() const override { return !request_.headword; }
    bool matchCase() const override { return request_.matchCase; }
    SearchOptions searchOptions() const override { return request_.options; }
    void focusView() override {}
    void showInputError(const QString& text) override { inputError = text; }
    void selectHeadword(int index) override { selected = index; }
    int selectedHeadword() const override { return selected; }
    void showDocument(const QByteArray& bytes) override { document = QByteArray(bytes.constData(), bytes.size()); }
    void setStatusText(const QString& text) override { status = text; }
    QString selectedViewText() const override { return QString(); }

    QString inputError;
    int selected = -1;
    QByteArray document;
    QString status;

private:
    const LookupRequest& request_;
    QString term_;
};

struct Hit {
    int32_t position;
    std::string_view piece;   // what the document holds of its entry
};

// The text the view shows for one piece of the document: its paragraphs,
// read by the program's RTF reader, on one line.
class PieceText {
public:
    QString Of(std::string_view piece)
    {
        std::string bytes(ResultDocument::Header);
        bytes.append(piece).append("\r\n").append(ResultDocument::Footer);
        richtext::loadStream(&document_, QByteArrayView(bytes.data(), qsizetype(bytes.size())));
        QStringList paragraphs;
        for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
            QString text = block.text();
            text.replace(QChar::LineSeparator, QLatin1Char(' '));
            text.replace(QChar::Tabulation, QLatin1Char(' '));
            text = text.trimmed();
            if (!text.isEmpty())
                paragraphs << text;
        }
        return paragraphs.join(QLatin1Char(' '));
    }

private:
    QTextDocument document_;
};

std::string Utf8Line(QString text)
{
    // The program's messages end lines in CR LF; a terminal wants LF.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.toStdString() + "\n";
}

std::string MessageText(const char* cp1250Message)
{
    return Utf8Line(cp1250::ToUnicode(std::string_view(cp1250Message)));
}

QString FilePath(const QString& dir, const char* name)
{
    const QString file = QString::fromLatin1(name);
    return dir.isEmpty() ? file : QDir(dir).filePath(file);
}

} // namespace

bool ParseLookupArguments(const QStringList& arguments, LookupRequest& request, QString& error)
{
    QStringList words;
    bool optionsEnd = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (optionsEnd || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            words << arg;
            continue;
        }
        // --name=value or --name value
        QString name = arg;
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = arg.indexOf(QLatin1Char('=')); eq > 0) {
            name = arg.left(eq);
            value = arg.mid(eq + 1);
            hasValue = true;
        }
        const auto takeValue = [&]() {
            if (hasValue)
                return true;
            if (i + 1 >= arguments.size())
                return false;
            value = arguments[++i];
            return true;
        };
        if (name == QLatin1String("--")) {
            optionsEnd = true;
        } else if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            request.help = true;
        } else if (name == QLatin1String("--headword")) {
            request.headword = true;
        } else if (name == QLatin1String("--match-case")) {
            request.matchCase = true;
        } else if (name == QLatin1String("--ignore-diacritics")) {
            request.options.ignoreDiacritics = true;
        } else if (name == QLatin1String("--whole-words")) {
            request.options.wholeWords = true;
        } else if (name == QLatin1String("--legal-only")) {
            request.options.legalOnly = true;
        } else if (name == QLatin1String("--data")) {
            if (!takeValue() || value.isEmpty()) {
                error = QStringLiteral("opcija --data traži mapu");
                return false;
            }
            request.dataDir = value;
        } else if (name == QLatin1String("--format")) {
            if (!takeValue()) {
                error = QStringLiteral("opcija --format traži text, rtf ili json");
                return false;
            }
            if (value == QLatin1String("text"))
                request.format = LookupFormat::Text;
            else if (value == QLatin1String("rtf"))
                request.format = LookupFormat::Rtf;
            else if (value == QLatin1String("json"))
                request.format = LookupFormat::Json;
            else {
                error = QStringLiteral("nepoznat oblik ispisa \"%1\" (text, rtf ili json)").arg(value);
                return false;
            }
        } else {
            error = QStringLiteral("nepoznata opcija \"%1\"").arg(arg);
            return false;
        }
    }
    if (request.help)
        return true;
    if (words.isEmpty()) {
        error = QStringLiteral("nedostaje pojam");
        return false;
    }
    // Several words are one term, as typed into the search box.
    request.term = words.join(QLatin1Char(' '));
    return true;
}

QString LookupUsage()
{
    return QStringLiteral(
        "Uporaba: tarvena-lookup [--data MAPA] [--headword] [--match-case] [--ignore-diacritics]\n"
        "                        [--whole-words] [--legal-only] [--format text|rtf|json] POJAM\n"
        "\n"
        "Traži POJAM u rječniku Tarvena kao što ga traži program: isti pogoci, istim redom.\n"
        "\n"
        "  --data MAPA          mapa s datotekama vokabar2.idx i vokabar2.dic (zadano: radna\n"
        "                       mapa, a kad u njoj nema nijedne, mapa podataka instaliranog programa)\n"
        "  --headword           pretraživanje engleskih riječi: prikazuje natuknicu prve riječi\n"
        "                       koja počinje POJMOM (zadano: pretraživanje cjelokupnog rječnika)\n"
        "  --match-case         uvažava velika i mala slova\n"
        "  --ignore-diacritics  zanemaruje dijakritičke znakove: c nalazi č i ć, s š, z ž, d đ,\n"
        "                       a \"dj\" stoji za đ\n"
        "  --whole-words        samo cijele riječi (pretraživanje cjelokupnog rječnika)\n"
        "  --legal-only         samo pravni pojmovi (natuknice pojmovnika [Tarvena])\n"
        "  --format text        jedan pogodak u retku, kao u prikazu (UTF-8); broj pogodaka na\n"
        "                       stderr (zadano)\n"
        "  --format rtf         dokument rezultata, bajt za bajt kako ga program prikazuje\n"
        "  --format json        niz objekata s poljima headword, text i source\n"
        "                       (source je oznaka izvora bez zagrada, npr. \"Tarvena\")\n"
        "\n"
        "Izlazni kôd: 0 ima pogodaka, 1 nema ih, 2 pojam nije dopušten, datoteke\n"
        "rječnika nedostaju ili su oštećene, ili naredbeni redak nije ispravan.\n");
}

QString LookupDataDir(const LookupRequest& request)
{
    if (!request.dataDir.isEmpty())
        return request.dataDir;
    const bool anyHere = QFileInfo(QString::fromLatin1(DictionaryStore::IndexFileName)).isFile()
        || QFileInfo(QString::fromLatin1(DictionaryStore::EntryFileName)).isFile();
    if (anyHere || request.installedDataDir.isEmpty())
        return QString();
    return request.installedDataDir;
}

int RunLookup(const LookupRequest& request, std::string& out, std::string& err)
{
    const QString dir = LookupDataDir(request);
    const QString indexFile = FilePath(dir, DictionaryStore::IndexFileName);
    const QString entryFile = FilePath(dir, DictionaryStore::EntryFileName);
    for (const QString& file : {indexFile, entryFile}) {
        if (!QFileInfo(file).isFile()) {
            err += Utf8Line(DictionaryStore::MissingFileMessage(file));
            return 2;
        }
    }

    // Unlike the program, which opens with what did load, a lookup over a
    // damaged dictionary would answer wrongly: it stops.
    DictionaryStore store;
    bool damaged = false;
    try {
        store.Load(QFile::encodeName(indexFile).toStdString(), QFile::encodeName(entryFile).toStdString(),
                   [&](const Exception& problem) {
                       err += MessageText(problem.what());
                       damaged = true;
                   });
    } catch (const Exception& e) {
        err += MessageText(e.what());
        return 2;
    } catch (const std::bad_alloc&) {
        err += MessageText(EOutOfMemory().what());
        return 2;
    }
    if (damaged)
        return 2;

    ResultDocument document;
    ConsoleView view(request);
    SearchEngine engine(store, document, view);
    try {
        engine.RunSearch();
    } catch (const Exception& e) {
        err += MessageText(e.what());
        return 2;
    } catch (const std::bad_alloc&) {
        err += MessageText(EOutOfMemory().what());
        return 2;
    }
    if (!view.inputError.isEmpty()) {
        err += Utf8Line(view.inputError);
        return 2;
    }

    // The hits with the piece of each that the document holds: the first
    // hit and a shown entry are cut as the document cuts them.
    std::vector<Hit> hits;
    const LineList& entries = store.EntryLines();
    if (request.headword) {
        if (view.selected >= 0)
            hits.push_back({view.selected, ResultDocument::EntryCut(entries.Line(view.selected))});
    } else {
        for (const int32_t position : engine.Hits()) {
            const std::string_view line = entries.Line(position);
            hits.push_back({position, hits.empty() ? ResultDocument::FirstHitCut(line) : line});
        }
    }

    switch (request.format) {
    case LookupFormat::Rtf:
        // Headword mode without a match shows nothing: no document.
        if (!request.headword || !hits.empty())
            out.append(view.document.constData(), size_t(view.document.size()));
        break;
    case LookupFormat::Text: {
        PieceText text;
        for (const Hit& hit : hits)
            out += text.Of(hit.piece).toStdString() + "\n";
        if (!request.headword)
            err += Utf8Line(view.status);
        break;
    }
    case LookupFormat::Json: {
        PieceText text;
        QJsonArray array;
        for (const Hit& hit : hits) {
            const std::string_view source = DictionaryStore::EntrySource(entries.Line(hit.position));
            array.append(QJsonObject{
                {QStringLiteral("headword"), store.HeadwordText(hit.position)},
                {QStringLiteral("text"), text.Of(hit.piece)},
                {QStringLiteral("source"), cp1250::ToUnicode(source)},
            });
        }
        out += QJsonDocument(array).toJson(QJsonDocument::Indented).toStdString();
        break;
    }
    }
    return hits.empty() ? 1 : 0;
}
