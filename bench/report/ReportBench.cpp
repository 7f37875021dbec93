// The search-result report printed to PDF at the printer resolution (1200
// dpi): the time for a 50-page result (median of the repetitions), and the
// peak memory of whole print runs of 10, 50 and 200 pages.
//
// Memory is measured in child processes, one per run, so that every peak
// is that run's own. As the peer, the same document is only loaded, copied
// and laid out, as a run holds it, with nothing printed: what printing adds
// on top of that must not grow with the number of pages.
#include "ResultRtf.h"

#include "RichTextLayout.h"
#include "RtfReader.h"
#include "SummaryReporter.h"
#include "ureport.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

// Entries of LongResultDocument that fill about one page.
constexpr int kEntriesPerPage = 28;

// A field of /proc/self/status in KiB (VmRSS: now, VmHWM: the peak).
long StatusKb(const char* field)
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long value = -1;
    const size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, length) == 0 && line[length] == ':')
            value = std::atol(line + length + 1);
    std::fclose(status);
    return value;
}

// Starts a new peak from the memory in use now.
void ResetPeak()
{
    if (FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", refs);
        std::fclose(refs);
    }
}

int PrintPages(int pages, const QString& file)
{
    TQRRezultatPretrage report;
    report.ShowProgress = false;
    report.SetContents(QStringLiteral("izraz"), pages, LongResultDocument(pages * kEntriesPerPage));
    report.Run(std::make_unique<TReportPrinter>(file));
    return report.PageNumber;
}

void BM_Report50PagesToPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.pdf"));
    int pages = 0;
    for (auto _ : state)
        pages = PrintPages(50, file);
    state.counters["pages"] = pages;
}
BENCHMARK(BM_Report50PagesToPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

// Child: one run, then the peak memory it took above what was in use
// before it (after a one-page run has loaded fonts and printing) on stdout.
int MemoryChild(const char* mode, int pages)
{
    QTemporaryDir dir;
    PrintPages(1, dir.filePath(QStringLiteral("warm.pdf")));
    const QByteArray rtf = LongResultDocument(pages * kEntriesPerPage);
    const long before = StatusKb("VmRSS");
    ResetPeak();
    if (std::strcmp(mode, "print") == 0) {
        TQRRezultatPretrage report;
        report.ShowProgress = false;
        report.SetContents(QStringLiteral("izraz"), pages, rtf);
        report.Run(std::make_unique<TReportPrinter>(dir.filePath(QStringLiteral("m.pdf"))));
    } else {
        // The peer: the same document loaded, copied and the copy laid out at
        // 1200 dpi, as a print run holds it.
        QTextDocument doc;
        doc.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
        richtext::loadStream(&doc, rtf);
        const std::unique_ptr<QTextDocument> copy(doc.clone());
        QImage device(8, 8, QImage::Format_RGB32);
        device.setDotsPerMeterX(47244);
        device.setDotsPerMeterY(47244);
        richtext::RichTextLayout layout(copy.get(), &device, 8748);
        benchmark::DoNotOptimize(layout.lineCount());
        if (std::strcmp(mode, "draw") == 0) {
            QPainter painter(&device);
            layout.render(&painter, QRectF(0, 0, 8748, 1e9), 0, layout.endIndex());
        }
    }
    std::printf("%ld\n", StatusKb("VmHWM") - before);
    return 0;
}

long MeasureChild(const char* self, const char* mode, int pages)
{
    QProcess child;
    child.start(QString::fromLocal8Bit(self),
                {QStringLiteral("--memory-child"), QString::fromLatin1(mode), QString::number(pages)});
    if (!child.waitForFinished(120000))
        return -1;
    return child.readAllStandardOutput().trimmed().toLong();
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--memory-child") == 0)
        return MemoryChild(argv[2], std::atoi(argv[3]));

    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // The target: a 50-page result on paper (here PDF) within 2 s.
    constexpr double kTargetSeconds = 2.0;
    const double fiftyPages = reporter.Seconds("BM_Report50PagesToPdf");
    std::printf("\nSummary\n  50 pages to PDF: %.0f ms median; target %.0f ms -> %.2f of the target (need <= 1) %s\n",
                fiftyPages * 1e3, kTargetSeconds * 1e3, fiftyPages / kTargetSeconds,
                fiftyPages > 0 && fiftyPages <= kTargetSeconds ? "ok" : "MISSED");

    std::printf("\nPeak memory a run takes (KiB): pages, print to PDF, load and lay out only, print minus that\n");
    for (int pages : {10, 50, 200, 400}) {
        const long print = MeasureChild(argv[0], "print", pages);
        const long layout = MeasureChild(argv[0], "layout", pages);
        std::printf("%5d %10ld %10ld %10ld\n", pages, print, layout, print - layout);
    }
    return 0;
}
