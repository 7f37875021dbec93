// tarvena-lookup: the dictionary's search on the command line (Lookup.h).
#include "CommandLine.h"
#include "Exception.h"
#include "Lookup.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <cstdio>
#include <new>
#include <string>

namespace {

void Write(std::FILE* to, const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), to);
}

} // namespace

int main(int argc, char** argv)
{
    // The RTF reader only builds documents here, it lays nothing out: no
    // GUI application (and no screen) is needed.
    QCoreApplication app(argc, argv);

    LookupRequest request;
    request.useCache = true;
#ifdef TARVENA_INSTALLED_DATA_DIR
    // A relative folder is taken from the folder this program is installed
    // in, so each installation finds its own data, whatever its prefix.
    request.installedDataDir = QDir::cleanPath(
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QString::fromUtf8(TARVENA_INSTALLED_DATA_DIR)));
#endif
    QString error;
    if (!ParseLookupArguments(QCoreApplication::arguments().mid(1), request, error)) {
        Write(stderr, cli::UsageErrorText("tarvena-lookup", cli::Croatian, error.toStdString()));
        return cli::UsageStatus;
    }
    if (request.version) {
        Write(stdout, cli::VersionLine("tarvena-lookup"));
        return 0;
    }
    if (request.help) {
        Write(stdout, LookupUsage().toStdString());
        return 0;
    }

    if (request.batch) {
        // Each answer leaves at once, so that a script may ask term by term.
        const auto readLine = [](std::string& line) {
            line.clear();
            for (int c; (c = std::getc(stdin)) != EOF;) {
                if (c == '\n')
                    return true;
                line += char(c);
            }
            return !line.empty();
        };
        const auto write = [](const std::string& out, const std::string& err) {
            Write(stderr, err);
            Write(stdout, out);
            return std::fflush(stdout) == 0 && !std::ferror(stdout);
        };
        return RunBatch(request, readLine, write);
    }

    std::string out;
    std::string err;
    int status = 2;
    try {
        status = RunLookup(request, out, err);
    } catch (const std::bad_alloc&) {
        // As the program reports it; whatever was gathered is not trusted.
        out.clear();
        err += std::string(EOutOfMemory().what()) + "\n";
        status = 2;
    }
    errno = 0;
    Write(stdout, out);
    const bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
    const int writeError = errno;
    Write(stderr, err);
    if (!written) {
        // A full disk or a closed pipe must not pass for an answer.
        Write(stderr, "tarvena-lookup: zapisivanje na standardni izlaz nije uspjelo (pogre\xC5\xA1ka sustava "
                          + std::to_string(writeError) + ")\n");
        return 2;
    }
    return status;
}
