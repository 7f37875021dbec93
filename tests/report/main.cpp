// The report's tests run without any printer: the print system is pointed at
// a spooler that does not exist before Qt first asks for printers, so "the
// default printer" is reliably absent and every page goes to PDF files.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int RunExportChild(const QString& target);

int main(int argc, char** argv)
{
    setenv("CUPS_SERVER", "/nonexistent/tarvena-no-cups.sock", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // A child started by a test (PdfExportTest.cpp) does that test's part only.
    if (qEnvironmentVariableIsSet("TARVENA_PDF_EXPORT_CHILD"))
        return RunExportChild(qEnvironmentVariable("TARVENA_PDF_EXPORT_CHILD"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
