#include "Lookup.h"

#include "CommandLine.h"
#include "Cp1250Text.h"
#include "DictionaryStore.h"
#include "ResultDocument.h"
#include "RtfText.h"
#include "HeadwordSuggestions.h"
#include "SearchEngine.h"
#include "SearchView.h"
#include "WordForms.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <vector>

namespace {

// The search box, the mode and the options as the command line sets them;
// what the engine shows is kept for the output.
class ConsoleView : public SearchView {
public:
    ConsoleView(const LookupRequest& request, const QString& term) : request_(request), term_(term) {}

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
    void showSuggestions(const QStringList& headwords) override { suggestions = headwords; }
    QString selectedViewText() const override { return QString(); }

    QString inputError;
    int selected = -1;
    QByteArray document;
    QString status;
    QStringList suggestions;

private:
    const LookupRequest& request_;
    QString term_;
};

struct Hit {
    int32_t position;
    std::string_view piece;   // what the document holds of its entry
};

// The text the view shows for one piece of the document: its paragraphs,
// as the program's RTF reader fills them, on one line. Only the text is
// read, so no text document (and no GUI library) is needed.
QString PieceText(std::string_view piece)
{
    std::string bytes(ResultDocument::Header);
    bytes.append(piece).append("\r\n").append(ResultDocument::Footer);
    QStringList paragraphs;
    for (QString text : richtext::rtfParagraphs(QByteArrayView(bytes.data(), qsizetype(bytes.size())))) {
        text.replace(QChar::LineSeparator, QLatin1Char(' '));
        text.replace(QChar::Tabulation, QLatin1Char(' '));
        text = text.trimmed();
        if (!text.isEmpty())
            paragraphs << text;
    }
    return paragraphs.join(QLatin1Char(' '));
}

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

namespace {

// Every option of the lookup once: its name, its value and its line of help.
// An option added here is read in ParseLookupArguments and shown by --help.
struct LookupOptions {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("ove upute")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("inačica programa")};
    QCommandLineOption data{QStringLiteral("data"),
                            QStringLiteral("mapa s datotekama vokabar2.idx i vokabar2.dic (zadano: radna mapa, a kad "
                                           "u njoj nema nijedne, mapa podataka instaliranog programa)"),
                            QStringLiteral("MAPA")};
    QCommandLineOption direction{QStringLiteral("direction"),
                                 QStringLiteral("smjer rječnika: en-hr, englesko-hrvatski (zadano), ili hr-en, "
                                                "hrvatsko-engleski (datoteke vokabar2-hr.idx i vokabar2-hr.dic)"),
                                 QStringLiteral("en-hr|hr-en")};
    QCommandLineOption headword{QStringLiteral("headword"),
                                QStringLiteral("pretraživanje engleskih (uz --direction hr-en hrvatskih) riječi: "
                                               "prikazuje natuknicu prve riječi koja počinje POJMOM (zadano: "
                                               "pretraživanje cjelokupnog rječnika)")};
    QCommandLineOption matchCase{QStringLiteral("match-case"), QStringLiteral("uvažava velika i mala slova")};
    QCommandLineOption ignoreDiacritics{QStringLiteral("ignore-diacritics"),
                                        QStringLiteral("zanemaruje dijakritičke znakove: c nalazi č i ć, s š, z ž, "
                                                       "d đ, a \"dj\" stoji za đ")};
    QCommandLineOption wholeWords{QStringLiteral("whole-words"),
                                  QStringLiteral("samo cijele riječi (pretraživanje cjelokupnog rječnika)")};
    QCommandLineOption legalOnly{QStringLiteral("legal-only"),
                                 QStringLiteral("samo pravni pojmovi (natuknice pojmovnika [Tarvena])")};
    QCommandLineOption allForms{QStringLiteral("all-forms"),
                                QStringLiteral("svi oblici riječi: svaka riječ POJMA u bilo kojem svom obliku, kao "
                                               "cijela riječ (\"tužitelj\" nalazi \"tužitelja\"; pretraživanje "
                                               "cjelokupnog rječnika)")};
    QCommandLineOption bestFirst{QStringLiteral("best-first"),
                                 QStringLiteral("najprije najbolji pogoci: natuknica samog pojma, zatim one koje "
                                                "njime počinju, pa pravni pojmovi, a onda ostale (isti pogoci)")};
    QCommandLineOption format{QStringLiteral("format"),
                              QStringLiteral("text: jedan pogodak u retku, kao u prikazu (UTF-8), broj pogodaka na "
                                             "stderr (zadano); rtf: dokument rezultata, bajt za bajt kako ga program "
                                             "prikazuje; json: niz objekata s poljima headword, text i source (source "
                                             "je oznaka izvora bez zagrada, npr. \"Tarvena\")"),
                              QStringLiteral("text|rtf|json")};
    QCommandLineOption batch{QStringLiteral("stdin"),
                             QStringLiteral("čita pojmove sa standardnog ulaza, jedan u retku, i odgovara na svaki "
                                            "istim opcijama, s rječnikom učitanim jednom: odgovori su odvojeni praznim "
                                            "retkom (text), odnosno po jedan niz u retku (json, JSON Lines)")};

    QList<QCommandLineOption> All() const
    {
        return {help, version, data, direction, headword, matchCase, ignoreDiacritics, wholeWords, legalOnly,
                allForms, bestFirst, format, batch};
    }

    void AddTo(QCommandLineParser& parser) const
    {
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions(All());
        parser.addPositionalArgument(QStringLiteral("POJAM"),
                                     QStringLiteral("pojam kao u okviru za pretraživanje (više riječi čini jedan pojam)"),
                                     QStringLiteral("POJAM"));
    }
};

QString Texts(const char* pattern, const QString& subject)
{
    return QString::fromStdString(cli::Format(pattern, subject.toStdString()));
}

// The parser's complaint in the tool's words. An unknown option is named as
// it was typed; the rest name the argument at fault.
QString ParserError(const QCommandLineParser& parser, const QList<QCommandLineOption>& known,
                    const QStringList& arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    const qsizetype end = arguments.indexOf(QStringLiteral("--"));
    const QStringList options = end < 0 ? arguments : arguments.first(end);
    const auto nameOf = [](const QString& arg) {
        QString name = arg.section(QLatin1Char('='), 0, 0);
        while (name.startsWith(QLatin1Char('-')))
            name.remove(0, 1);
        return name;
    };
    if (!unknown.isEmpty()) {
        for (const QString& arg : options)
            if (arg.startsWith(QLatin1Char('-')) && nameOf(arg) == unknown.first())
                return Texts(cli::Croatian.unknownOption, arg.section(QLatin1Char('='), 0, 0));
        return Texts(cli::Croatian.unknownOption, QStringLiteral("--") + unknown.first());
    }
    // The parser stops at the first fault: a flag given a value, or an
    // option whose value is missing at the end.
    const auto isFlag = [&](const QString& name) {
        for (const QCommandLineOption& option : known)
            if (option.names().contains(name))
                return option.valueName().isEmpty();
        return false;
    };
    for (const QString& arg : options) {
        if (arg.startsWith(QLatin1Char('-')) && arg.contains(QLatin1Char('=')) && isFlag(nameOf(arg)))
            return Texts(cli::Croatian.unexpectedValue, arg.section(QLatin1Char('='), 0, 0));
    }
    if (!options.isEmpty() && options.last().startsWith(QLatin1Char('-')))
        return Texts(cli::Croatian.missingValue, options.last());
    return parser.errorText();
}

} // namespace

bool ParseLookupArguments(const QStringList& arguments, LookupRequest& request, QString& error)
{
    const LookupOptions o;
    QCommandLineParser parser;
    o.AddTo(parser);
    if (!parser.parse(QStringList(QStringLiteral("tarvena-lookup")) + arguments)) {
        error = ParserError(parser, o.All(), arguments);
        return false;
    }
    request.help = parser.isSet(o.help);
    request.version = parser.isSet(o.version);
    if (request.help || request.version)
        return true;
    request.headword = parser.isSet(o.headword);
    request.matchCase = parser.isSet(o.matchCase);
    request.options.ignoreDiacritics = parser.isSet(o.ignoreDiacritics);
    request.options.wholeWords = parser.isSet(o.wholeWords);
    request.options.legalOnly = parser.isSet(o.legalOnly);
    request.options.allForms = parser.isSet(o.allForms);
    request.options.bestFirst = parser.isSet(o.bestFirst);
    if (parser.isSet(o.data)) {
        request.dataDir = parser.value(o.data);
        if (request.dataDir.isEmpty()) {
            error = Texts(cli::Croatian.missingValue, QStringLiteral("--data"));
            return false;
        }
    }
    if (parser.isSet(o.direction)) {
        const QString value = parser.value(o.direction);
        if (value != QLatin1String("en-hr") && value != QLatin1String("hr-en")) {
            error = QStringLiteral("nepoznat smjer \"%1\" (en-hr ili hr-en)").arg(value);
            return false;
        }
        request.croatianEnglish = value == QLatin1String("hr-en");
    }
    if (parser.isSet(o.format)) {
        const QString value = parser.value(o.format);
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
    }
    const QStringList words = parser.positionalArguments();
    request.batch = parser.isSet(o.batch);
    if (request.batch) {
        if (!words.isEmpty()) {
            error = QStringLiteral("uz --stdin pojmovi se čitaju sa standardnog ulaza, ne iz naredbenog retka");
            return false;
        }
        return true;
    }
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
    QCommandLineParser parser;
    LookupOptions().AddTo(parser);
    parser.setApplicationDescription(
        QStringLiteral("Traži POJAM u rječniku Tarvena kao što ga traži program: isti pogoci, istim redom."));
    // The parser's own headings are English; the tool speaks Croatian.
    QString text = parser.helpText();
    const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
    text.replace(0, firstLineEnd, QStringLiteral("Uporaba: tarvena-lookup [opcije] POJAM\n"));
    text.replace(QStringLiteral("\nOptions:\n"), QStringLiteral("\nOpcije:\n"));
    text.replace(QStringLiteral("\nArguments:\n"), QStringLiteral("\nArgumenti:\n"));
    return text
        + QStringLiteral("\nVrijednost opcije piše se \"--format json\" ili \"--format=json\"; \"--\" završava opcije.\n"
                         "\n"
                         "Izlazni kôd: 0 ima pogodaka, 1 nema ih, 2 pojam nije dopušten, datoteke\n"
                         "rječnika nedostaju ili su oštećene, ili naredbeni redak nije ispravan.\n"
                         "Uz --stdin: 0 svaki je pojam nađen, 1 neki nije, 2 neki nije dopušten (poruka\n"
                         "navodi pojam, a obrada se nastavlja) ili datoteke rječnika nisu ispravne.\n");
}

namespace {

const char* IndexFileOf(const LookupRequest& request)
{
    return request.croatianEnglish ? DictionaryStore::CroatianIndexFileName : DictionaryStore::IndexFileName;
}

const char* EntryFileOf(const LookupRequest& request)
{
    return request.croatianEnglish ? DictionaryStore::CroatianEntryFileName : DictionaryStore::EntryFileName;
}

} // namespace

QString LookupDataDir(const LookupRequest& request)
{
    if (!request.dataDir.isEmpty())
        return request.dataDir;
    const bool anyHere = QFileInfo(QString::fromLatin1(IndexFileOf(request))).isFile()
        || QFileInfo(QString::fromLatin1(EntryFileOf(request))).isFile();
    if (anyHere || request.installedDataDir.isEmpty())
        return QString();
    return request.installedDataDir;
}

int LookupSession::Open(const LookupRequest& request, std::string& err)
{
    const QString dir = LookupDataDir(request);
    const QString indexFile = FilePath(dir, IndexFileOf(request));
    const QString entryFile = FilePath(dir, EntryFileOf(request));
    for (const QString& file : {indexFile, entryFile}) {
        if (!QFileInfo(file).isFile()) {
            err += Utf8Line(DictionaryStore::MissingFileMessage(file));
            return 2;
        }
    }

    if (request.useCache) {
        cache_ = std::make_unique<DictionaryCache>(indexFile, entryFile);
        if (cache_->Load(store_))
            return 0;
    }

    // Unlike the program, which opens with what did load, a lookup over a
    // damaged dictionary would answer wrongly: it stops.
    bool damaged = false;
    try {
        store_.Load(QFile::encodeName(indexFile).toStdString(), QFile::encodeName(entryFile).toStdString(),
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
    if (cache_)
        cache_->Save(store_);
    return 0;
}

int LookupSession::Answer(const LookupRequest& request, const QString& term, std::string& out, std::string& err,
                          Framing framing)
{
    ConsoleView view(request, term);
    SearchEngine engine(store_, document_, view);
    // Loaded only when a search needs the dictionary forms of its words; the
    // forms found stay for the next term of a batch.
    if (!formMatcher_)
        formMatcher_ = std::make_unique<FormMatcher>(store_, &wordForms_);
    engine.SetWordForms(&wordForms_);
    engine.ShareFormMatcher(*formMatcher_);
    try {
        engine.RunSearch();
    } catch (const Exception& e) {
        err += MessageText(e.what());
        return 2;
    } catch (const std::bad_alloc&) {
        err += MessageText(EOutOfMemory().what());
        return 2;
    }
    const bool batch = framing == Framing::Batch;
    if (!view.inputError.isEmpty()) {
        // In a batch the message names the term it is about.
        err += batch ? Utf8Line(QStringLiteral("\"%1\": %2").arg(term, view.inputError)) : Utf8Line(view.inputError);
        if (batch && request.format == LookupFormat::Json)
            out += "[]\n";   // one line an answer, so that answers and terms pair up
        return 2;
    }

    // The hits with the piece of each that the document holds: the first
    // hit and a shown entry are cut as the document cuts them.
    std::vector<Hit> hits;
    const LineList& entries = store_.EntryLines();
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
    case LookupFormat::Text:
        for (const Hit& hit : hits)
            out += PieceText(hit.piece).toStdString() + "\n";
        // A batch's answers count themselves: one line a hit.
        if (!request.headword && !batch)
            err += Utf8Line(view.status);
        // Headword mode says which base form it went by, as the status bar.
        if (request.headword && !view.status.isEmpty() && !batch)
            err += Utf8Line(view.status);
        break;
    case LookupFormat::Json: {
        QJsonArray array;
        for (const Hit& hit : hits) {
            const std::string_view source = DictionaryStore::EntrySource(entries.Line(hit.position));
            array.append(QJsonObject{
                {QStringLiteral("headword"), store_.HeadwordText(hit.position)},
                {QStringLiteral("text"), PieceText(hit.piece)},
                {QStringLiteral("source"), cp1250::ToUnicode(source)},
            });
        }
        // JSON Lines in a batch: one array on one line.
        out += QJsonDocument(array).toJson(batch ? QJsonDocument::Compact : QJsonDocument::Indented).toStdString();
        if (batch)
            out += "\n";
        break;
    }
    }
    // A miss offers the nearest headwords, whatever the format.
    if (hits.empty() && !view.suggestions.isEmpty())
        err += Utf8Line(QString::fromUtf8(SuggestionsPrefix) + view.suggestions.join(QStringLiteral(", ")));
    return hits.empty() ? 1 : 0;
}

int RunLookup(const LookupRequest& request, std::string& out, std::string& err)
{
    LookupSession session;
    if (const int status = session.Open(request, err))
        return status;
    return session.Answer(request, request.term, out, err);
}

int RunBatch(const LookupRequest& request, const std::function<bool(std::string&)>& readLine,
             const std::function<bool(const std::string&, const std::string&)>& write)
{
    LookupSession session;
    {
        std::string err;
        const int status = session.Open(request, err);
        if (status) {
            write(std::string(), err);
            return status;
        }
    }
    bool anyMissing = false;
    bool anyError = false;
    bool first = true;
    std::string line;
    while (readLine(line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();   // a term list saved with CR LF
        const QString term = QString::fromUtf8(line.data(), qsizetype(line.size()));
        if (term.trimmed().isEmpty())
            continue;
        std::string out, err;
        if (request.format != LookupFormat::Json && !first)
            out += "\n";   // a blank line between answers
        first = false;
        const int status = session.Answer(request, term, out, err, LookupSession::Framing::Batch);
        anyMissing |= status == 1;
        anyError |= status == 2;
        if (!write(out, err))
            return 2;
    }
    return anyError ? 2 : anyMissing ? 1 : 0;
}
