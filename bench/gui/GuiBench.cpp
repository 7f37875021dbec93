// Speed of the program as the user meets it, on the built data files, with
// the targets each figure is held to ("ratio" is the figure over its target):
//
//   start         the built vokabar2 started again and again (offscreen, the
//                 test probe preloaded), from the start of the process to the
//                 first paint of the main window with every headword, beside
//                 a peer: a bare Qt program that shows one empty window;
//                 resident memory at that moment. before=PROGRAM:DATADIR
//                 times another build (an earlier revision) in the same runs
//   loading       the parts of the start-up in this process: unpacking the
//                 two files alone, and the window with its loading
//   keys          the first keystroke in headword mode in a fresh process
//                 against the later ones; then every keystroke of typing 50
//                 terms: key press to the entry painted in the view
//   search        whole-dictionary search of 50 terms: the command to the
//                 view painted; the common term "the" on its own, with its
//                 parts (scan and document, reading the RTF, painting)
//   large         the ten most frequent 3-letter terms of the index: Return
//                 to the first screen painted, keystrokes posted from another
//                 thread while the rest comes in, memory; the five worst named
//   direction     the switch to Croatian-English: the first (the pair read)
//                 and later ones until the list is painted; the memory the
//                 second pair adds
//   copy[=N]      (only when named) the dictionary N times the real one (60):
//                 "ion", then at once select all and copy: the whole result
//                 on the clipboard, and the window's answer meanwhile
//   ioncopy       (only when named) "ion" copied right after Return against
//                 the whole result; suggestions for misses, timed
//   pdf           a PDF of the largest real results, the window's answer
//                 while it is written
//   scale[=N]     (only when named, or with "all") the shipped texts repeated
//                 N times (60): "ion" with its hundreds of thousands of hits,
//                 a new search and closing the window while it comes in
//
// Sections run: those named on the command line, or all but scale.
#include "PrivateSettings.h"
#include "ProbeEnvironment.h"
#include "Application.h"
#include "Dialogs.h"
#include "DictionaryStore.h"
#include "LZRW1.h"
#include "ResultViewLoader.h"
#include "Streams.h"
#include "uglavni.h"
#include "DataFiles.h"
#include "Cp1250Case.h"
#include "Cp1250Text.h"
#include "SearchEngine.h"
#include "SearchSettings.h"
#include "PdfExport.h"
#include "HeadwordSuggestions.h"
#include "RtfReader.h"
#include "ureport.h"
#include "Forms.h"

#include <QClipboard>

#include <QCheckBox>
#include <valgrind/callgrind.h>
#include <QInputDevice>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

// 50 terms a user of a legal dictionary looks up, English and Croatian.
const QStringList kTerms = {
    "court", "contract", "liability", "damage", "appeal", "judgment", "plaintiff", "defendant",
    "evidence", "witness", "jurisdiction", "statute", "tort", "breach", "lease", "property",
    "sentence", "crime", "penalty", "verdict", "trial", "attorney", "lawyer", "claim", "debt",
    "fraud", "guilty", "heir", "custody", "tax", "prison", "judge", "treaty", "agreement",
    "obligation", "ownership", "mortgage", "insurance", "company", "law",
    "sud", "ugovor", "presuda", "šteta", "kazna", "zakon", "odgovornost", "tužba",
    "članak", "nasljedstvo"};

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double Max(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

double TimeMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

void Figure(const char* what, double median, double target, const char* unit = "ms")
{
    std::printf("  %-58s %9.2f %s   target %7.1f %s   ratio %.2f %s\n", what, median, unit, target, unit,
                median / target, median <= target ? "ok" : "OVER");
}

void Info(const char* what, double value, const char* unit = "ms")
{
    std::printf("  %-58s %9.2f %s\n", what, value, unit);
}

struct ProcessRun {
    double splash = -1;
    double main = -1;
    double rssMb = -1;
    int rows = -1;
};

ProcessRun RunWithProbe(const QString& program, const QString& workDir)
{
    QProcess process;
    process.setWorkingDirectory(workDir);
    const QProcessEnvironment env = ProbeEnvironment(TARVENA_PROBE);
    process.setProcessEnvironment(env);
    process.start(program, {});
    process.waitForFinished(60000);
    ProcessRun run;
    for (const QString& line : QString::fromUtf8(process.readAllStandardError()).split('\n')) {
        if (line.startsWith("PROBE SPLASH "))
            run.splash = line.section(' ', 2, 2).toDouble();
        if (line.startsWith("PROBE MAIN ")) {
            run.main = line.section(' ', 2, 2).toDouble();
            const QRegularExpressionMatch rss = QRegularExpression("rss=(\\d+)").match(line);
            run.rssMb = rss.captured(1).toDouble() / 1024.0;
            run.rows = QRegularExpression("rows=(-?\\d+)").match(line).captured(1).toInt();
        }
    }
    return run;
}

// Another build of the program to time beside this one (before=PROGRAM:DATADIR
// on the command line): an earlier revision with the data files it makes.
struct OtherBuild {
    QString program;
    QString dataDir;
};

void BenchStartup(const QString& dataDir, const OtherBuild& before)
{
    std::printf("\nStart-up of the built program (process start to the first paint, offscreen):\n");
    constexpr int kRuns = 11;
    std::vector<double> splash, main, rss, peer, old, oldRss;
    int rows = 0;
    // Interleaved, so that whatever else the machine does falls on all alike.
    for (int i = 0; i < kRuns; ++i) {
        const ProcessRun run = RunWithProbe(TARVENA_PROGRAM, dataDir);
        const ProcessRun bare = RunWithProbe(TARVENA_PEER, dataDir);
        if (run.main < 0 || bare.main < 0) {
            std::printf("  the probe reported nothing; is the program built?\n");
            return;
        }
        splash.push_back(run.splash);
        main.push_back(run.main);
        rss.push_back(run.rssMb);
        peer.push_back(bare.main);
        rows = run.rows;
        if (!before.program.isEmpty()) {
            const ProcessRun then = RunWithProbe(before.program, before.dataDir);
            old.push_back(then.main);
            oldRss.push_back(then.rssMb);
        }
    }
    Info("splash painted, median", Median(splash));
    Info("main window painted with all headwords, median", Median(main));
    Info("main window painted, worst of the runs", Max(main));
    Info("peer: a bare Qt program's one empty window, median", Median(peer));
    Figure("ratio program / peer", Median(main) / Median(peer), 5, "x ");
    Figure("resident memory at that moment, median", Median(rss), 60, "MB");
    std::printf("  %-58s %9d\n", "headwords in the list", rows);
    if (!old.empty()) {
        Info("before: the other build, main window painted, median", Median(old));
        std::printf("  %-58s %9.2f\n", "before: ratio other build / peer", Median(old) / Median(peer));
        Info("before: resident memory at that moment, median", Median(oldRss), "MB");
    }
}

void BenchLoading()
{
    std::printf("\nThe start-up's parts, in this process (median of 7):\n");
    std::vector<double> unpack, window, fastUnpack;
    for (int i = 0; i < 7; ++i) {
        unpack.push_back(TimeMs([] {
            DictionaryStore store;
            store.Load();
        }));
        window.push_back(TimeMs([] {
            TfVokabar form;
            form.show();
            if (QTest::qWaitForWindowExposed(&form))
                form.repaint();
        }));
    }
    const double load = Median(unpack);
    Info("unpacking and splitting both files (DictionaryStore::Load)", load);
    for (const char* name : {DictionaryStore::IndexFileName, DictionaryStore::EntryFileName}) {
        TMemoryStream packed;
        packed.LoadFromFile(name);
        const bool good = packed.Memory()[0] == 0x21;
        std::vector<double> shipped, other;
        TMemoryStream text;
        for (int i = 0; i < 7; ++i) {
            shipped.push_back(TimeMs([&] {
                TMemoryStream unpacked;
                packed.SetPosition(0);
                DictionaryStore::UnpackFile(packed, unpacked);
                if (i == 0)
                    text.Bytes() = unpacked.Bytes();
            }));
        }
        // The same text packed the other way, for comparison.
        TMemoryStream repacked;
        {
            Tlzrw1 codec;
            codec.UseStream = true;
            codec.CompressMode = good ? TCompressMode::Fast : TCompressMode::Good;
            text.SetPosition(0);
            codec.InputStream = &text;
            codec.OutputStream = &repacked;
            codec.Compress();
        }
        for (int i = 0; i < 7; ++i) {
            other.push_back(TimeMs([&] {
                TMemoryStream unpacked;
                repacked.SetPosition(0);
                DictionaryStore::UnpackFile(repacked, unpacked);
            }));
        }
        std::printf("  %-58s %9.2f ms  (%s: %.2f ms, %.2f MB packed)\n",
                    qPrintable(QStringLiteral("  unpacking %1 alone (%2, %3 MB packed)")
                                   .arg(name)
                                   .arg(QString::fromLatin1(good ? "Good" : "Fast"))
                                   .arg(double(packed.Size()) / 1048576.0, 0, 'f', 2)),
                    Median(shipped), good ? "Fast" : "Good", Median(other), double(repacked.Size()) / 1048576.0);
    }
    Info("main window created, loaded, shown and painted", Median(window));
    std::printf("  %-58s %8.0f %%\n", "share of the loading in the window's time", 100.0 * load / Median(window));
}

long ResidentKb()
{
    long kb = -1;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            kb = std::atol(line.c_str() + 6);
    return kb;
}

// Keystrokes posted to a widget from another thread every few milliseconds,
// as the window system would deliver them, whatever the user-interface
// thread is doing: the time from posting to the widget getting each is what
// the user feels as the window answering or not.
class KeyLatency : public QObject {
public:
    explicit KeyLatency(QWidget* target) : target_(target)
    {
        target->installEventFilter(this);
        (void)QInputDevice::primaryKeyboard();   // made here, not on the poster's thread
        poster_ = std::thread([this] {
            while (!stop_) {
                auto* key = new QKeyEvent(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
                key->setTimestamp(quint64(Now() * 1000.0));
                QCoreApplication::postEvent(target_, key);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    ~KeyLatency() override
    {
        stop_ = true;
        poster_.join();
        QCoreApplication::processEvents();
        target_->removeEventFilter(this);
    }
    double Worst() const { return Max(latency_); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == target_ && event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Shift) {
            latency_.push_back(Now() - double(static_cast<QKeyEvent*>(event)->timestamp()) / 1000.0);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static double Now()
    {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }
    QWidget* target_;
    std::vector<double> latency_;
    std::atomic<bool> stop_{false};
    std::thread poster_;
};

struct LargeSearch {
    QString term;
    int hits = 0;
    bool statusRight = false;
    double firstScreen = 0;    // Return to the first screen painted
    double whole = 0;          // Return to the whole document in the view
    double worstKey = 0;       // longest wait of a keystroke meanwhile
    double worstGap = 0;       // longest time the event loop was away
    double documentMb = 0;
    double rssMb = 0;
};

// One whole-dictionary search as the user makes it: Return in the combo box,
// the first screen painted, then the event loop runs while the view takes in
// the rest; a keystroke is posted every 5 ms and its wait measured.
LargeSearch SearchAndWait(TfVokabar& window, const QString& term, double limitMs = 600000)
{
    LargeSearch result;
    result.term = term;
    window.bSve->setChecked(true);
    window.setComboText(term);
    QElapsedTimer clock;
    clock.start();
    window.BPojamSearch->click();
    window.RichEdit1->viewport()->repaint();
    result.firstScreen = double(clock.nsecsElapsed()) / 1e6;
    result.hits = window.Engine().HitCount();
    result.statusRight =
        window.StatusPanel0->text() == QStringLiteral("Broj pronađenih pojmova: %1").arg(result.hits);

    ResultViewLoader& loader = window.ViewLoader();
    {
        KeyLatency keys(window.WordsList);
        QElapsedTimer gap;
        gap.start();
        QTimer ticker;
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            result.worstGap = std::max(result.worstGap, double(gap.nsecsElapsed()) / 1e6);
            gap.restart();
        });
        ticker.start();
        while (loader.Loading() && clock.elapsed() < limitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        result.whole = double(clock.nsecsElapsed()) / 1e6;
        ticker.stop();
        result.worstKey = keys.Worst();
    }
    result.documentMb = double(window.Document().Bytes().size()) / 1048576.0;
    result.rssMb = double(ResidentKb()) / 1024.0;
    return result;
}

// The 3-letter terms found in the most index lines: every byte triple of the
// folded index that a search accepts (no line break, no leading or trailing
// space, no stop word), counted once per line.
QStringList MostFrequentTrigrams(const DictionaryStore& store, int count)
{
    std::map<uint32_t, int> lines;
    std::vector<uint32_t> seen;
    for (int32_t i = 0; i < store.IndexLines().Count(); ++i) {
        const std::string line = cp1250::Lower(store.IndexLines()[i]);
        seen.clear();
        for (size_t k = 0; k + 3 <= line.size(); ++k) {
            const auto a = uint8_t(line[k]), b = uint8_t(line[k + 1]), c = uint8_t(line[k + 2]);
            if (a == ' ' || c == ' ')
                continue;
            seen.push_back(uint32_t(a) << 16 | uint32_t(b) << 8 | c);
        }
        std::sort(seen.begin(), seen.end());
        seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
        for (const uint32_t t : seen)
            ++lines[t];
    }
    std::vector<std::pair<int, uint32_t>> ranked;
    for (const auto& [t, n] : lines)
        ranked.push_back({n, t});
    std::sort(ranked.rbegin(), ranked.rend());
    QStringList terms;
    for (const auto& [n, t] : ranked) {
        const char bytes[3] = {char(t >> 16), char(t >> 8), char(t)};
        const std::string_view term(bytes, 3);
        if (std::string_view(SearchEngine::StopWords).find(term) != std::string_view::npos)
            continue;
        terms.append(cp1250::ToUnicode(term));
        if (terms.size() == count)
            break;
    }
    return terms;
}

void PrintLargeSearch(const LargeSearch& r)
{
    std::printf("  %-8s %7d hits %7.2f MB  first screen %8.1f ms  whole %9.1f ms  worst key %6.1f ms"
                "  loop away %6.1f ms  rss %6.1f MB%s\n",
                qPrintable(QStringLiteral("\"%1\"").arg(r.term)), r.hits, r.documentMb, r.firstScreen, r.whole,
                r.worstKey, r.worstGap, r.rssMb, r.statusRight ? "" : "  STATUS WRONG");
}

void BenchLargeSearches(TfVokabar& window)
{
    std::printf("\nThe largest results: the ten most frequent 3-letter terms of the index, Return to\n"
                "the first screen painted, and the window's answer to keystrokes while the rest comes in:\n");
    const QStringList terms = MostFrequentTrigrams(window.Store(), 10);
    std::vector<LargeSearch> runs;
    for (const QString& term : terms) {
        runs.push_back(SearchAndWait(window, term));
        PrintLargeSearch(runs.back());
    }
    std::sort(runs.begin(), runs.end(), [](const LargeSearch& a, const LargeSearch& b) { return a.whole > b.whole; });
    std::printf("  the five worst (longest to take in whole):");
    for (size_t i = 0; i < std::min<size_t>(5, runs.size()); ++i)
        std::printf(" %s %.0f ms (first screen %.1f ms)%s", qPrintable(runs[i].term), runs[i].whole,
                    runs[i].firstScreen, i + 1 < 5 ? "," : "\n");
    std::vector<double> first, key, rss;
    bool statusRight = true;
    for (const LargeSearch& r : runs) {
        first.push_back(r.firstScreen);
        key.push_back(r.worstKey);
        rss.push_back(r.rssMb);
        statusRight = statusRight && r.statusRight;
    }
    Figure("first screen painted, worst of the ten", Max(first), 100);
    Figure("a keystroke's wait while the rest comes in, worst", Max(key), 50);
    Figure("resident memory after these searches, worst", Max(rss), 120, "MB");
    std::printf("  %-58s %9s\n", "hit count in the status bar with the first screen", statusRight ? "yes" : "NO");
}

// The shipped texts repeated `factor` times, packed Fast into a directory of
// their own: a dictionary far beyond the real one, to see the view stay
// usable when a result runs to hundreds of thousands of entries.
bool MakeRepeatedDictionary(const QString& dataDir, const QString& outDir, int factor)
{
    std::string texts[2];
    const char* names[2] = {DictionaryStore::IndexFileName, DictionaryStore::EntryFileName};
    for (int i = 0; i < 2; ++i) {
        std::ifstream file((dataDir + "/" + names[i]).toStdString(), std::ios::binary);
        const std::string packed((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::string text = mkdict::UnpackData(packed);
        if (!text.empty() && text.back() != '\n' && text.back() != '\r')
            text += "\r\n";
        texts[i].reserve(text.size() * size_t(factor));
        for (int k = 0; k < factor; ++k)
            texts[i] += text;
    }
    std::string packedIndex, packedEntries;
    mkdict::PackBoth(texts[0], texts[1], TCompressMode::Fast, false, packedIndex, packedEntries);
    std::printf("  %d x the shipped texts: idx %.0f MB, dic %.0f MB unpacked (%.0f + %.0f MB packed Fast)\n", factor,
                double(texts[0].size()) / 1048576.0, double(texts[1].size()) / 1048576.0,
                double(packedIndex.size()) / 1048576.0, double(packedEntries.size()) / 1048576.0);
    mkdict::WriteDataFiles(outDir.toStdString(), packedIndex, packedEntries);
    return true;
}

void BenchScale(const QString& dataDir, int factor)
{
    std::printf("\nA dictionary %d times the real one, searched for \"ion\":\n", factor);
    QTemporaryDir dir;
    if (!dir.isValid() || !MakeRepeatedDictionary(dataDir, dir.path(), factor))
        return;
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QElapsedTimer clock;
    clock.start();
    auto window = std::make_unique<TfVokabar>();
    window->show();
    (void)QTest::qWaitForWindowExposed(window.get());
    Info("start: the window loaded and shown", double(clock.elapsed()));
    const double startRss = double(ResidentKb()) / 1024.0;
    Info("resident memory after start", startRss, "MB");

    // Interrupting: a new search while the view takes in the last one, and
    // closing the window meanwhile, each answered at once.
    window->setComboText(QStringLiteral("ion"));
    window->BPojamSearch->click();
    QTest::qWait(300);
    window->setComboText(QStringLiteral("court"));
    const double newSearch = TimeMs([&] {
        window->BPojamSearch->click();
        window->RichEdit1->viewport()->repaint();
    });
    Figure("a new search while \"ion\" comes in, to its result painted", newSearch, 100);
    window->setComboText(QStringLiteral("ion"));
    window->BPojamSearch->click();
    QTest::qWait(300);
    const double close = TimeMs([&] {
        window->close();
        while (window->ViewLoader().Loading())
            QCoreApplication::processEvents();
    });
    Figure("closing the window while \"ion\" comes in, to the reading stopped", close, 100);
    window->show();
    (void)QTest::qWaitForWindowExposed(window.get());

    const double rssBefore = double(ResidentKb()) / 1024.0;
    const LargeSearch r = SearchAndWait(*window, QStringLiteral("ion"), 30 * 60 * 1000);
    PrintLargeSearch(r);
    Figure("\"ion\": first screen painted", r.firstScreen, 1000);
    Figure("\"ion\": a keystroke's wait while the rest comes in, worst", r.worstKey, 100);
    std::printf("  %-58s %9s\n", "hit count in the status bar with the first screen", r.statusRight ? "yes" : "NO");
    std::printf("  %-58s %9s\n", "the whole result in the view", window->ViewLoader().Loading() ? "NO (cut off)" : "yes");
    Info("\"ion\": the whole result in the view after", r.whole / 1000.0, "s");
    const double perHit = (r.rssMb - rssBefore) * 1048576.0 / std::max(1, r.hits);
    std::printf("  %-58s %9.0f bytes (%.1f per byte of the document)\n", "view memory per hit", perHit,
                (r.rssMb - rssBefore) / std::max(0.001, r.documentMb));
    window.reset();
    QDir::setCurrent(before);
}

// Select all and copy of a result being read, timed to the clipboard
// filled, with keystrokes posted meanwhile; the view itself is not read for
// it.
void BenchScaleCopy(const QString& dataDir, int factor)
{
    std::printf("\nA dictionary %d times the real one: \"ion\", then at once select all and copy:\n", factor);
    QTemporaryDir dir;
    if (!dir.isValid() || !MakeRepeatedDictionary(dataDir, dir.path(), factor))
        return;
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        TfVokabar window;
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        std::vector<double> copies, keys, gaps;
        qsizetype chars = 0;
        for (int run = 0; run < 3; ++run) {
            window.setComboText(QStringLiteral("ion"));
            window.BPojamSearch->click();
            QApplication::clipboard()->clear();
            KeyLatency latency(window.WordsList);
            double worstGap = 0;
            QElapsedTimer gap;
            gap.start();
            QTimer ticker;
            ticker.setInterval(1);
            QObject::connect(&ticker, &QTimer::timeout, [&] {
                worstGap = std::max(worstGap, double(gap.nsecsElapsed()) / 1e6);
                gap.restart();
            });
            ticker.start();
            QTest::qWait(20);
            gap.restart();
            worstGap = 0;
            copies.push_back(TimeMs([&] {
                window.Oznaisve2->trigger();
                window.Kopiraj1->trigger();
            }));
            QTest::qWait(20);
            keys.push_back(latency.Worst());
            gaps.push_back(worstGap);
            chars = QApplication::clipboard()->text().size();
        }
        std::printf("  %-58s %9d\n", "hits", window.Engine().HitCount());
        std::printf("  %-58s %9.1f MB\n", "document", double(window.ViewLoader().Source().size()) / 1048576.0);
        std::printf("  %-58s %9lld\n", "characters on the clipboard", static_cast<long long>(chars));
        Figure("select all + copy, median of 3", Median(copies), 5000);
        Info("  event loop away at most (worst of 3)", Max(gaps));
        Info("  a keystroke's wait, worst of 3", Max(keys));
        window.close();
    }
    QDir::setCurrent(before);
}

// "ion" copied right after Return, against the whole result read; and the
// suggestions of three misses, timed over all headwords.
void BenchCopyAndSuggestions(TfVokabar& window)
{
    std::printf("\n\"ion\" copied right after Return, and suggestions for misses:\n");
    const auto words = [](const QString& text) {
        return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).size();
    };
    for (int how = 0; how < 2; ++how) {
        window.setComboText(QStringLiteral("ion"));
        window.BPojamSearch->click();
        const bool loading = window.ViewLoader().Loading();
        if (how == 0) {
            window.Oznaisve2->trigger();
        } else {
            QTest::keyClick(window.RichEdit1, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
        }
        window.Kopiraj1->trigger();
        const QString copied = QApplication::clipboard()->text();
        const QString whole = richtext::plainTextOf(window.Document().Bytes());
        std::printf("  %-26s still reading: %s  copied %lld words, whole result %lld words, equal: %s\n",
                    how == 0 ? "Ctrl+A, Ctrl+C" : "Ctrl+Shift+End, Ctrl+C", loading ? "yes" : "no",
                    static_cast<long long>(words(copied)), static_cast<long long>(words(whole)),
                    copied == whole ? "yes" : "NO");
    }
    for (const char* term : {"negligance", "tuzitel", "jurispudence", "contrakt", "plaintif"}) {
        std::vector<double> times;
        std::vector<std::string> near;
        for (int i = 0; i < 9; ++i)
            times.push_back(TimeMs([&] { near = HeadwordSuggestions(window.Store()).For(term); }));
        QStringList shown;
        for (const std::string& h : near)
            shown << cp1250::ToUnicode(h);
        std::printf("  %-14s %6.2f ms (median of 9, target 30)  Jeste li mislili: %s\n", term, Median(times),
                    qPrintable(shown.join(QStringLiteral(", "))));
    }
}

// A PDF of the largest real results, with the window's answer meanwhile.
void BenchPdf(TfVokabar& window)
{
    std::printf("\nPDF of large results (the window answering while it is written):\n");
    QTemporaryDir dir;
    for (const QString& term : {QStringLiteral("ion"), QStringLiteral("the")}) {
        window.setComboText(term);
        window.BPojamSearch->click();
        const QByteArray shown = window.Document().Bytes();
        const QByteArray result(shown.constData(), shown.size());
        KeyLatency latency(window.WordsList);
        double worstGap = 0;
        QElapsedTimer gap;
        gap.start();
        QTimer ticker;
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            worstGap = std::max(worstGap, double(gap.nsecsElapsed()) / 1e6);
            gap.restart();
        });
        ticker.start();
        QTest::qWait(20);
        gap.restart();
        worstGap = 0;
        const double ms = TimeMs([&] {
            SaveResultAsPdf(*QRRezultatPretrage, term, window.Engine().HitCount(), result, dir.filePath("r.pdf"));
        });
        QTest::qWait(20);
        std::printf("  %-8s %6d hits  PDF written %8.0f ms  event loop away %7.1f ms  key wait %7.1f ms\n",
                    qPrintable(term), window.Engine().HitCount(), ms, worstGap, latency.Worst());
    }
}

void TypeKey(QWidget* target, QChar c)
{
    const auto key = Qt::Key(c.toUpper().unicode());
    QTest::sendKeyEvent(QTest::KeyAction::Press, target, key, QString(c), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::KeyAction::Release, target, key, QString(c), Qt::NoModifier);
}

// The first keystroke after start, in a process of its own (this program run
// with --first-key): the window made and shown as the program does, a pause
// such as a user makes before typing, headword mode, then the keys of a few
// terms, each timed to the entry painted. Prints the times, one a line.
int FirstKeyChild()
{
    TfVokabar window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    QTest::qWait(300);
    // The mode chosen as a user does, and the window repainted, before typing.
    window.beng->setChecked(true);
    window.CBKljuc->setFocus();
    QTest::qWait(100);
    // The harness's own first key event (QTest's set-up) on a widget of its
    // own, so that only the program's first keystroke is timed.
    QLineEdit harness;
    TypeKey(&harness, QLatin1Char('x'));
    for (const QString& term : {QStringLiteral("court"), QStringLiteral("lease"), QStringLiteral("judge")}) {
        window.setComboText(QString());
        for (const QChar c : term) {
            // A typist's pause before every key, the first one included, so
            // that only what the program does the first time tells them apart.
            QTest::qWait(60);
            const double ms = TimeMs([&] {
                TypeKey(window.CBKljuc, c);
                window.RichEdit1->viewport()->repaint();
            });
            std::printf("KEY %.3f\n", ms);
        }
    }
    return 0;
}

void BenchFirstKeystroke()
{
    std::printf("\nHeadword mode, the first keystroke after start against the rest (a fresh process each run):\n");
    std::vector<double> first, rest;
    for (int run = 0; run < 9; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--first-key")});
        child.waitForFinished(60000);
        std::vector<double> keys;
        for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
            if (line.startsWith("KEY "))
                keys.push_back(line.mid(4).toDouble());
        if (keys.size() < 2) {
            std::printf("  the child reported nothing\n");
            return;
        }
        first.push_back(keys.front());
        rest.insert(rest.end(), keys.begin() + 1, keys.end());
    }
    Info("first keystroke, median of 9 starts", Median(first));
    Info("every later keystroke, median", Median(rest));
    Figure("ratio first / later (target 1.5)", Median(first) / Median(rest), 1.5, "x ");
}

void BenchKeystrokes(TfVokabar& window)
{
    std::printf("\nHeadword mode, one keystroke to the entry painted (%lld terms typed):\n",
                static_cast<long long>(kTerms.size()));
    window.beng->setChecked(true);
    std::vector<double> strokes;
    for (const QString& term : kTerms) {
        window.setComboText(QString());
        for (const QChar c : term) {
            strokes.push_back(TimeMs([&] {
                TypeKey(window.CBKljuc, c);
                window.RichEdit1->viewport()->repaint();
            }));
        }
    }
    Info("keystroke to entry shown, median", Median(strokes));
    Info("keystroke, 95th percentile", Percentile(strokes, 0.95));
    Info("keystroke, worst", Max(strokes));
    window.bSve->setChecked(true);
}

void BenchSearches(TfVokabar& window)
{
    std::printf("\nWhole-dictionary search, the command to the view painted:\n");
    auto search = [&](const QString& term) {
        window.setComboText(term);
        return TimeMs([&] {
            window.BPojamSearch->click();
            window.RichEdit1->viewport()->repaint();
        });
    };
    search(kTerms.front());   // warm the fonts
    std::vector<double> times;
    double worst = 0;
    QString worstTerm;
    for (const QString& term : kTerms) {
        times.push_back(search(term));
        if (times.back() > worst) {
            worst = times.back();
            worstTerm = term;
        }
    }
    Figure("50 legal terms, median", Median(times), 20);
    std::printf("  %-58s %9.2f ms (%s)\n", "50 legal terms, worst", worst, qPrintable(worstTerm));

    std::vector<double> the;
    for (int i = 0; i < 5; ++i)
        the.push_back(search(QStringLiteral("the")));
    Figure("\"the\", median of 5", Median(the), 1000);
    std::printf("  %-58s %9d\n", "hits of \"the\"", window.Engine().HitCount());

    // Where "the" spends its time.
    const QByteArray document(window.Document().Bytes().constData(), window.Document().Bytes().size());
    std::vector<double> scan, read, paint;
    for (int i = 0; i < 5; ++i) {
        scan.push_back(TimeMs([&] { window.Engine().SearchDictionary("the", false); }));
        QTextDocument fresh;
        fresh.setDefaultFont(window.RichEdit1->font());
        read.push_back(TimeMs([&] { LoadIntoDocument(&fresh, document); }));
        paint.push_back(TimeMs([&] { window.RichEdit1->viewport()->repaint(); }));
    }
    std::printf("  %-58s %9.2f MB\n", "document of \"the\"", double(document.size()) / 1048576.0);
    Info("  scan, document and view load (SearchDictionary)", Median(scan));
    Info("  of which reading the RTF into a fresh document", Median(read));
    Info("  painting the view afterwards", Median(paint));
}

// The Croatian-English direction. The memory is taken first, on the window
// that has shown only the English pair so far; then fresh windows for the
// first switch, which reads the pair, and one window switched back and forth.
void BenchDirection(TfVokabar& window)
{
    std::printf("\nThe Croatian-English direction (switch to the list painted):\n");
    if (!window.Hrvatskoengleskismjer1->isEnabled()) {
        std::printf("  the Croatian-English pair is missing: build the target tarvena_data\n");
        return;
    }
    QApplication::processEvents();
    const double english = double(ResidentKb()) / 1024.0;
    // The list lays itself out from the event loop, then paints.
    const auto switchTo = [](TfVokabar& form, bool croatian) {
        const double ms = TimeMs([&] {
            form.Hrvatskoengleskismjer1->setChecked(croatian);
            QApplication::processEvents();
            form.WordsList->viewport()->repaint();
        });
        if (form.CroatianEnglish() != croatian)
            std::printf("  (the switch did not happen)\n");
        return ms;
    };
    switchTo(window, true);
    const double both = double(ResidentKb()) / 1024.0;
    switchTo(window, false);

    // At once after the first paint the pair is read by the switch; a second
    // later it has been unpacked ahead and the switch takes it over.
    std::vector<double> first, ahead, later;
    for (int i = 0; i < 14; ++i) {
        // Each window starts English-Croatian, whatever the last one saved.
        searchsettings::SaveCroatianEnglish(false);
        TfVokabar form;
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            continue;
        QTest::qWait(i % 2 ? 1000 : 20);
        (i % 2 ? ahead : first).push_back(switchTo(form, true));
    }
    for (int i = 0; i < 20; ++i)
        later.push_back(switchTo(window, i % 2 == 0));
    switchTo(window, false);
    Figure("first switch at once after the first paint, median of 7", Median(first), 150);
    Figure("first switch a second after it (unpacked ahead), median of 7", Median(ahead), 150);
    Figure("later switches, either way, median of 20", Median(later), 30);
    Info("resident memory, English pair only", english, "MB");
    Info("resident memory, both pairs", both, "MB");
    Figure("memory the Croatian-English pair adds", both - english, 70, "MB");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The plain program: no search options or history of the user's.
    const PrivateSettings settings;
    TApplication app(argc, argv);
    QApplication::setApplicationName(dialogs::kApplicationTitle);

    const QString dataDir = QStringLiteral(TARVENA_DATA_DIR);
    if (!QFileInfo(dataDir + "/vokabar2.idx").isFile() || !QFileInfo(dataDir + "/vokabar2.dic").isFile()) {
        std::printf("No data files in %s: build the target tarvena_data first.\n", qPrintable(dataDir));
        return 1;
    }
    QDir::setCurrent(dataDir);
    if (app.arguments().contains(QStringLiteral("--first-key")))
        return FirstKeyChild();
    int reports = 0;
    dialogs::SetPresenter([&](const dialogs::Message& message) {
        ++reports;
        std::printf("  (message: %s)\n", qPrintable(message.text));
    });
    std::printf("Data: %s (idx %.2f MB, dic %.2f MB packed)\n", qPrintable(dataDir),
                double(QFileInfo(dataDir + "/vokabar2.idx").size()) / 1048576.0,
                double(QFileInfo(dataDir + "/vokabar2.dic").size()) / 1048576.0);

    // Sections to run: all, or those named on the command line.
    QStringList sections = app.arguments().mid(1);
    const auto wanted = [&](const char* name) {
        return sections.isEmpty() || sections.contains(QLatin1String("all")) || sections.contains(QLatin1String(name));
    };
    OtherBuild before;
    for (const QString& section : sections) {
        if (section.startsWith(QLatin1String("before="))) {
            before.program = section.section('=', 1).section(':', 0, 0);
            before.dataDir = section.section('=', 1).section(':', 1);
        }
    }
    if (wanted("start") || !before.program.isEmpty())
        BenchStartup(dataDir, before);
    if (wanted("loading"))
        BenchLoading();

    TfVokabar window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::printf("The window was not exposed.\n");
    if (wanted("keys")) {
        BenchFirstKeystroke();
        BenchKeystrokes(window);
    }
    if (wanted("search"))
        BenchSearches(window);
    if (wanted("large"))
        BenchLargeSearches(window);
    if (wanted("direction"))
        BenchDirection(window);
    if (sections.contains(QLatin1String("ioncopy")))
        BenchCopyAndSuggestions(window);
    if (sections.contains(QLatin1String("pdf"))) {
        static TQRRezultatPretrage report;
        if (QRRezultatPretrage == nullptr)
            QRRezultatPretrage = &report;
        BenchPdf(window);
    }
    for (const QString& section : sections) {
        if (section.startsWith(QLatin1String("copy")))
            BenchScaleCopy(dataDir, section.contains('=') ? section.section('=', 1).toInt() : 60);
    }
    // The large dictionary takes minutes and gigabytes: asked for by name
    // ("scale", or "scale=N" for N times the texts), or with "all".
    for (const QString& section : sections) {
        if (section == QLatin1String("all") || section.startsWith(QLatin1String("scale")))
            BenchScale(dataDir, section.contains('=') ? section.section('=', 1).toInt() : 60);
    }
    return reports == 0 ? 0 : 1;
}
