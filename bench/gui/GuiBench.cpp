// Speed of the program as the user meets it, on the built data files:
//
//   start-up      the built vokabar2 started again and again (offscreen, the
//                 test probe preloaded), from the start of the process to the
//                 first paint of the main window with every headword, beside
//                 a peer: a bare Qt program that shows one empty window;
//                 resident memory at that moment
//   loading       the parts of the start-up in this process: unpacking the
//                 two files alone, and the window with its loading
//   keystroke     headword mode, every keystroke of typing 50 terms: key
//                 press to the entry painted in the view
//   search        whole-dictionary search of 50 terms: the command to the
//                 view painted; the worst common term "the" on its own, with
//                 its parts (scan and document, reading the RTF, painting)
//
// Medians are printed with their targets and the ratio median / target.
#include "ProbeEnvironment.h"
#include "Application.h"
#include "Dialogs.h"
#include "DictionaryStore.h"
#include "LZRW1.h"
#include "Streams.h"
#include "uglavni.h"

#include <QCheckBox>
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
#include <cstdio>
#include <ctime>
#include <functional>
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

void BenchStartup(const QString& dataDir)
{
    std::printf("\nStart-up of the built program (process start to the first paint, offscreen):\n");
    constexpr int kRuns = 11;
    std::vector<double> splash, main, rss, peer;
    int rows = 0;
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
    }
    Info("splash painted, median", Median(splash));
    Figure("main window painted with all headwords, median", Median(main), 150);
    Info("main window painted, worst of the runs", Max(main));
    Info("peer: a bare Qt program's one empty window, median", Median(peer));
    std::printf("  %-58s %9.2f\n", "ratio program / peer", Median(main) / Median(peer));
    Figure("resident memory at that moment, median", Median(rss), 80, "MB");
    std::printf("  %-58s %9d\n", "headwords in the list", rows);
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
        std::vector<double> good, fast;
        TMemoryStream text;
        for (int i = 0; i < 7; ++i) {
            good.push_back(TimeMs([&] {
                TMemoryStream unpacked;
                packed.SetPosition(0);
                DictionaryStore::UnpackFile(packed, unpacked);
                if (i == 0) {
                    text.Bytes() = unpacked.Bytes();
                }
            }));
        }
        // The same text packed the other way, for comparison.
        TMemoryStream repacked;
        {
            Tlzrw1 codec;
            codec.UseStream = true;
            codec.CompressMode = TCompressMode::Fast;
            text.SetPosition(0);
            codec.InputStream = &text;
            codec.OutputStream = &repacked;
            codec.Compress();
        }
        for (int i = 0; i < 7; ++i) {
            fast.push_back(TimeMs([&] {
                TMemoryStream unpacked;
                repacked.SetPosition(0);
                DictionaryStore::UnpackFile(repacked, unpacked);
            }));
        }
        std::printf("  %-58s %9.2f ms  (Fast: %.2f ms, %.2f MB packed)\n",
                    qPrintable(QStringLiteral("  unpacking %1 alone (%2, %3 MB packed)")
                                   .arg(name)
                                   .arg(QString::fromLatin1(packed.Memory()[0] == 0x21 ? "Good" : "Fast"))
                                   .arg(double(packed.Size()) / 1048576.0, 0, 'f', 2)),
                    Median(good), Median(fast), double(repacked.Size()) / 1048576.0);
    }
    Info("main window created, loaded, shown and painted", Median(window));
    std::printf("  %-58s %8.0f %%\n", "share of the loading in the window's time", 100.0 * load / Median(window));
}

void TypeKey(QWidget* target, QChar c)
{
    const auto key = Qt::Key(c.toUpper().unicode());
    QTest::sendKeyEvent(QTest::KeyAction::Press, target, key, QString(c), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::KeyAction::Release, target, key, QString(c), Qt::NoModifier);
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
    Figure("keystroke to entry shown, median", Median(strokes), 6);
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

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The plain program: no search options or history of the user's, and
    // none left behind.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    TApplication app(argc, argv);
    QApplication::setApplicationName(dialogs::kApplicationTitle);

    const QString dataDir = QStringLiteral(TARVENA_DATA_DIR);
    if (!QFileInfo(dataDir + "/vokabar2.idx").isFile() || !QFileInfo(dataDir + "/vokabar2.dic").isFile()) {
        std::printf("No data files in %s: build the target tarvena_data first.\n", qPrintable(dataDir));
        return 1;
    }
    QDir::setCurrent(dataDir);
    int reports = 0;
    dialogs::SetPresenter([&](const dialogs::Message& message) {
        ++reports;
        std::printf("  (message: %s)\n", qPrintable(message.text));
    });
    std::printf("Data: %s (idx %.2f MB, dic %.2f MB packed)\n", qPrintable(dataDir),
                double(QFileInfo(dataDir + "/vokabar2.idx").size()) / 1048576.0,
                double(QFileInfo(dataDir + "/vokabar2.dic").size()) / 1048576.0);

    BenchStartup(dataDir);
    BenchLoading();

    TfVokabar window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::printf("The window was not exposed.\n");
    BenchKeystrokes(window);
    BenchSearches(window);
    return reports == 0 ? 0 : 1;
}
